// A rounded button on a solid colour, drawn without shader effects so that it looks the same
// with any scene graph backend (software rendering included).
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import Allot

AbstractButton {
    id: button
    property color fill: Material.accent
    property color ink: Theme.inkOnFill

    implicitHeight: 48
    implicitWidth: Math.max(96, label.implicitWidth + 32)
    font.pixelSize: 17
    font.bold: true
    // Reached with Tab, but a tap leaves the keyboard where it was.
    focusPolicy: Qt.TabFocus
    Accessible.role: Accessible.Button
    Accessible.name: text
    // A screen reader's activate does what a tap does.
    Accessible.onPressAction: clicked()

    background: Rectangle {
        radius: 12
        color: button.fill
        opacity: button.enabled ? 1 : 0.4
        Rectangle {
            anchors.fill: parent
            radius: parent.radius
            color: button.down ? Theme.pressedShade : Theme.hoverShade
            visible: button.down || button.hovered
        }
        // The keyboard focus, just outside the fill.
        FocusRing {
            inset: -4
            radius: parent.radius + 4
            shown: button.visualFocus
        }
    }
    HoverHandler { cursorShape: Qt.PointingHandCursor }
    contentItem: Label {
        id: label
        text: button.text
        font: button.font
        color: button.ink
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        elide: Text.ElideRight
    }
}

// The navigation bar: the back button (titled with the screen below) or the screen's own left
// items, the title in the middle, and the right item.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot.Kit
import Allot

ToolBar {
    id: bar
    property SceneBridge scene
    property string backTitle
    signal backTapped()

    height: 56
    // Flat, with a hairline under it: elevation shadows need shader effects.
    Material.elevation: 0
    // The window's own text colour: the bar's default follows the accent, which here is not what
    // is under the text.
    Material.foreground: Theme.dark ? "#ffffff" : "#de000000"
    background: Rectangle {
        color: Theme.barBackground
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: bar.Material.dividerColor
        }
    }

    RowLayout {
        id: leading
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: 4
        spacing: 8

        ToolButton {
            objectName: "backButton"
            visible: bar.backTitle !== ""
            text: "\u2039 " + bar.backTitle
            font.pixelSize: 16
            font.capitalization: Font.MixedCase
            Accessible.name: "Back to " + bar.backTitle
            // A screen reader's activate does what a tap does.
            Accessible.onPressAction: clicked()
            onClicked: bar.backTapped()
        }
        Repeater {
            model: bar.backTitle === "" && bar.scene ? bar.scene.leftItems : []
            delegate: ToolButton {
                required property string modelData
                required property int index
                objectName: "leftItem" + modelData
                text: modelData
                font.pixelSize: 16
                font.capitalization: Font.MixedCase
                Accessible.name: modelData
                // A screen reader's activate does what a tap does.
                Accessible.onPressAction: clicked()
                onClicked: bar.scene.tapLeftItem(index)
            }
        }
    }

    // Text, not a Label: a control would report itself as plain text to a screen reader.
    Text {
        objectName: "navigationTitle"
        color: bar.Material.foreground
        // Centred on the bar when there is room, else in the space the buttons leave.
        readonly property real room: bar.width - leading.width - (trailing.visible ? trailing.width : 0) - 16
        readonly property bool centred: implicitWidth <= bar.width - 2 * Math.max(leading.width, trailing.visible ? trailing.width : 0) - 16
        anchors.verticalCenter: parent.verticalCenter
        x: centred ? (bar.width - width) / 2 : leading.width + 8
        width: Math.min(implicitWidth, room)
        text: bar.scene ? bar.scene.title : ""
        // A long envelope name gives way in the middle, so the balance at the end stays in view.
        elide: Text.ElideMiddle
        font.pixelSize: 18
        font.bold: true
        horizontalAlignment: Text.AlignHCenter
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }

    ToolButton {
        id: trailing
        objectName: "rightItem"
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: bar.scene !== null && bar.scene.rightItem !== ""
        text: bar.scene && bar.scene.rightItemIsAdd ? "+" : (bar.scene ? bar.scene.rightItem : "")
        font.pixelSize: text === "+" ? 28 : 16
        font.capitalization: Font.MixedCase
        Accessible.name: bar.scene ? bar.scene.rightItem : ""
        // A screen reader's activate does what a tap does.
        Accessible.onPressAction: clicked()
        onClicked: bar.scene.tapRightItem()
    }
}

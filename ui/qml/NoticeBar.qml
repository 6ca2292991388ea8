// The notice above the screens: a tinted bar with the application's sentence about the stored
// budget and, when the notice may be dismissed, a close button. The window makes it only while
// there is a notice.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot

Pane {
    id: bar
    property string text
    property bool dismissible
    signal dismissed()

    objectName: "noticeBar"
    padding: 12
    topPadding: 10
    bottomPadding: 10
    Material.elevation: 0
    background: Rectangle {
        color: Theme.noticeBackground
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: bar.Material.dividerColor
        }
    }
    Accessible.role: Accessible.AlertMessage
    Accessible.name: text

    RowLayout {
        anchors.fill: parent
        spacing: 8
        Label {
            objectName: "noticeText"
            Layout.fillWidth: true
            text: bar.text
            wrapMode: Text.Wrap
            maximumLineCount: 8
            elide: Text.ElideRight
            textFormat: Text.PlainText
            font.pixelSize: 14
        }
        ToolButton {
            objectName: "noticeDismiss"
            visible: bar.dismissible
            text: "\u2715"
            font.pixelSize: 16
            Layout.alignment: Qt.AlignTop
            Accessible.name: "Dismiss"
            // A screen reader's activate does what a tap does.
            Accessible.onPressAction: clicked()
            HoverHandler { cursorShape: Qt.PointingHandCursor }
            onClicked: bar.dismissed()
        }
    }
}

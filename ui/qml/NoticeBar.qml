// The notice above the screens: a tinted bar with the application's sentence (about the stored
// budget, or the change just made) and, when the notice has them, an action button (Undo) and a
// close button. A notice with an action goes by itself after ten seconds, or when a new one
// comes. The window makes it only while there is a notice.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot

Pane {
    id: bar
    property string text
    property bool dismissible
    property string actionTitle
    signal dismissed()
    signal acted()

    Timer {
        id: expiry
        interval: 10000
        running: bar.actionTitle !== ""
        onTriggered: bar.dismissed()
    }
    onTextChanged: if (bar.actionTitle !== "") expiry.restart()

    objectName: Names.itemName(Storyboard.NoticeBar)
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
            objectName: Names.itemName(Storyboard.NoticeText)
            Layout.fillWidth: true
            text: bar.text
            wrapMode: Text.Wrap
            maximumLineCount: 8
            elide: Text.ElideRight
            textFormat: Text.PlainText
            font.pixelSize: 14
        }
        Button {
            objectName: Names.itemName(Storyboard.NoticeAction)
            visible: bar.actionTitle !== ""
            text: bar.actionTitle
            flat: true
            Layout.alignment: Qt.AlignVCenter
            Accessible.name: text
            Accessible.onPressAction: clicked()
            onClicked: bar.acted()
        }
        ToolButton {
            id: dismiss
            objectName: Names.itemName(Storyboard.NoticeDismiss)
            background: QuietButtonBackground { control: dismiss }
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

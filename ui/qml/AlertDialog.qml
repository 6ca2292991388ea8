// The alert on display, as a centred modal dialog with one button per action: the cancel action
// in bold, a destructive one in red. It opens with the keyboard on the cancel action (else on the
// first action that destroys nothing), Return presses the focused button and Escape is the cancel
// action. It stays open until the kit takes the alert away.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot.Kit
import Allot

Dialog {
    id: dialog
    property AlertBridge alert

    objectName: Names.itemName(Storyboard.AlertDialog)
    parent: Overlay.overlay
    anchors.centerIn: parent
    width: Math.min(parent ? parent.width - 48 : 320, 340)
    modal: true
    // Darker, never paler, in both appearances.
    Overlay.modal: Rectangle { color: Theme.dimLayer }
    Material.elevation: 0
    background: Rectangle {
        radius: 14
        color: Theme.dialogBackground
        border.color: dialog.Material.dividerColor
    }
    // Escape taps the cancel action; an alert without one stays.
    closePolicy: Popup.CloseOnEscape
    onRejected: {
        var actions = alert ? alert.actions : [];
        for (var i = 0; i < actions.length; ++i) {
            if (actions[i].style === AlertActionStyle.Cancel) {
                alert.tap(i);
                return;
            }
        }
        if (alert)
            open();
    }
    visible: alert !== null
    title: alert ? alert.title : ""
    focus: true
    onOpened: {
        var button = buttons.itemAt(dialog.safeAction());
        if (button)
            button.forceActiveFocus(Qt.TabFocusReason);
    }

    // The action the keyboard starts on: the cancel action, else the first one that destroys
    // nothing, else the first.
    function safeAction() {
        var actions = alert ? alert.actions : [];
        for (var i = 0; i < actions.length; ++i) {
            if (actions[i].style === AlertActionStyle.Cancel)
                return i;
        }
        for (var j = 0; j < actions.length; ++j) {
            if (actions[j].style !== AlertActionStyle.Destructive)
                return j;
        }
        return 0;
    }

    // Text, not a Label: a control would report itself as plain text to a screen reader.
    header: Text {
        objectName: Names.itemName(Storyboard.AlertTitle)
        color: dialog.Material.foreground
        text: dialog.title
        padding: 24
        bottomPadding: 0
        font.pixelSize: 18
        font.bold: true
        wrapMode: Text.Wrap
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }

    // The message, then the buttons: the order a screen reader reads them in.
    ColumnLayout {
        width: parent.width
        spacing: 20

        Label {
            objectName: Names.itemName(Storyboard.AlertMessage)
            Layout.fillWidth: true
            text: dialog.alert ? dialog.alert.message : ""
            wrapMode: Text.Wrap
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.bottomMargin: -16
            Layout.rightMargin: -16
            spacing: 8
            Item { Layout.fillWidth: true }
            Repeater {
                id: buttons
                model: dialog.alert ? dialog.alert.actions : []
                delegate: Button {
                    id: actionButton
                    required property alertButton modelData
                    required property int index
                    flat: true
                    background: QuietButtonBackground {
                        control: actionButton
                        implicitWidth: 64
                        implicitHeight: actionButton.Material.buttonHeight
                    }
                    text: modelData.title
                    font.bold: modelData.style === AlertActionStyle.Cancel
                    font.capitalization: Font.MixedCase
                    font.pixelSize: 16
                    Material.foreground: modelData.style === AlertActionStyle.Destructive ? Theme.destructiveText : Theme.actionText
                    Accessible.name: modelData.title
                    // A screen reader's activate does what a tap does.
                    Accessible.onPressAction: clicked()
                    HoverHandler { cursorShape: Qt.PointingHandCursor }
                    onClicked: dialog.alert.tap(index)
                    Layout.bottomMargin: 8
                    Layout.rightMargin: index === (dialog.alert.actions.length - 1) ? 8 : 0
                }
            }
        }
    }
}

// One envelope's transactions: the amount and note fields, the add and subtract buttons, the
// result of the last action, and the transactions newest first; a row swipes to delete. However
// wide the page, they keep to a readable measure in its middle; the list takes all the height
// left.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot.Kit
import Allot

Page {
    id: page
    property SceneBridge scene
    readonly property TableBridge table: scene ? scene.table : null
    function outlet(name) { return Names.outlet(scene, name) }

    // A touch outside the fields hides the keyboard.
    TapHandler {
        onTapped: {
            page.scene.touchBackground();
            page.forceActiveFocus();
        }
    }

    ColumnLayout {
        objectName: Names.itemName(Storyboard.TransactionsColumn)
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.topMargin: 16
        width: Math.min(parent.width, Theme.readableWidth + 32)
        spacing: 12

        BudgetTextField {
            objectName: Names.outletName(Storyboard.EnterAmount)
            view: page.outlet(Storyboard.EnterAmount)
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            inputMethodHints: Qt.ImhFormattedNumbersOnly
            font.pixelSize: 20
            // Enter moves on to the note; only the buttons record.
            onAccepted: note.forceActiveFocus()
            onKeyboardDismissed: page.forceActiveFocus()
        }
        BudgetTextField {
            id: note
            objectName: Names.outletName(Storyboard.OptionalNote)
            view: page.outlet(Storyboard.OptionalNote)
            Layout.fillWidth: true
            font.pixelSize: 20
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            onAccepted: page.forceActiveFocus()
            onKeyboardDismissed: page.forceActiveFocus()
        }
        RowLayout {
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            spacing: 12
            FilledButton {
                readonly property ViewBridge view: page.outlet(Storyboard.AddAmountButton)
                objectName: Names.outletName(Storyboard.AddAmountButton)
                Layout.fillWidth: true
                Layout.preferredWidth: 1  // the two buttons share the row equally
                text: view ? view.title : ""
                fill: Theme.addFill
                onClicked: view.tap()
            }
            FilledButton {
                readonly property ViewBridge view: page.outlet(Storyboard.SubtractAmountButton)
                objectName: Names.outletName(Storyboard.SubtractAmountButton)
                Layout.fillWidth: true
                Layout.preferredWidth: 1
                text: view ? view.title : ""
                fill: Theme.subtractFill
                onClicked: view.tap()
            }
        }
        Label {
            readonly property ViewBridge view: page.outlet(Storyboard.ResultsLabel)
            objectName: Names.outletName(Storyboard.ResultsLabel)
            Layout.fillWidth: true
            Layout.leftMargin: 16
            Layout.rightMargin: 16
            text: view ? view.text : ""
            wrapMode: Text.Wrap
            // At most two lines, however long the name in it.
            maximumLineCount: 2
            elide: Text.ElideRight
            opacity: 0.8
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }

        ListView {
            id: list
            objectName: Names.itemName(Storyboard.TransactionList)
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: page.table
            boundsBehavior: Flickable.StopAtBounds
            // The arrow keys move the current row; the keyboard focus goes with it.
            keyNavigationEnabled: true
            onCurrentItemChanged: if (currentItem && activeFocus) currentItem.forceActiveFocus()
            // The focus comes back to the current row when the row that had it is gone.
            onActiveFocusChanged: if (activeFocus) Qt.callLater(list.focusCurrentRow)
            function focusCurrentRow() {
                if (Window.activeFocusItem === list && currentItem)
                    currentItem.forceActiveFocus();
            }
            ScrollIndicator.vertical: ScrollIndicator {}

            delegate: SwipeRow {
                id: transactionRow
                required property int index
                required property cellLabel textLabel
                required property cellLabel detailTextLabel
                objectName: Names.itemName(Storyboard.TransactionRow) + index
                width: list.width
                height: 52
                table: page.table
                rowIndex: index
                accessibleName: textLabel.text === "" ? detailTextLabel.text
                                                      : textLabel.text + ", " + detailTextLabel.text

                RowLayout {
                    anchors.fill: parent
                    anchors.leftMargin: 16
                    anchors.rightMargin: 16
                    Label {
                        Layout.fillWidth: true
                        text: transactionRow.textLabel.text
                        elide: Text.ElideRight
                        font.pixelSize: 16
                    }
                    Label {
                        text: transactionRow.detailTextLabel.text
                        font.pixelSize: 16
                        color: transactionRow.detailTextLabel.tone === LabelTone.Negative
                               ? Theme.negativeText : page.Material.foreground
                    }
                }
            }
            add: Transition { NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 160 } }
            displaced: Transition { NumberAnimation { properties: "y"; duration: 160 } }
            remove: Transition { NumberAnimation { property: "opacity"; to: 0; duration: 160 } }
        }
    }
}

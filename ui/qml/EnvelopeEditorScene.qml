// The envelope editor: the name, the five colours (the chosen one ticked), and the save button
// on the chosen colour, with the result of the last save under it; no wider than a readable
// measure, in the middle of a wide page.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot.Kit
import Allot

Page {
    id: page
    // The five colours share the width on a narrow screen, 52 pixels each at most.
    readonly property real swatchSize: Math.min(52, (width - 32 - 4 * 14) / 5)
    property SceneBridge scene
    function outlet(name) { return Names.outlet(scene, name) }
    readonly property ViewBridge saveButton: outlet(Storyboard.AddButton)

    TapHandler {
        onTapped: {
            page.scene.touchBackground();
            page.forceActiveFocus();
        }
    }

    ColumnLayout {
        anchors.top: parent.top
        anchors.topMargin: 16
        anchors.horizontalCenter: parent.horizontalCenter
        width: Math.min(parent.width - 32, Theme.readableWidth)
        spacing: 20

        BudgetTextField {
            objectName: Names.outletName(Storyboard.EnvelopeName)
            view: page.outlet(Storyboard.EnvelopeName)
            Layout.fillWidth: true
            font.pixelSize: 20
            // Return saves, as the save button does.
            onAccepted: page.saveButton.tap()
            onKeyboardDismissed: page.forceActiveFocus()
        }

        RowLayout {
            Layout.alignment: Qt.AlignHCenter
            spacing: 14
            Accessible.role: Accessible.Grouping
            Accessible.name: "Colour"
            Repeater {
                model: [Storyboard.RedButton, Storyboard.YellowButton, Storyboard.GreenButton,
                        Storyboard.BlueButton, Storyboard.PurpleButton]
                delegate: RadioButton {
                    id: swatch
                    required property int modelData
                    readonly property ViewBridge view: page.outlet(modelData)
                    readonly property bool chosen: view && view.selected
                    objectName: Names.outletName(modelData)
                    implicitWidth: page.swatchSize
                    implicitHeight: page.swatchSize
                    // Checked is the kit's chosen colour; a tap only tells the kit.
                    checkable: false
                    checked: chosen
                    indicator: null
                    // A colour changes nothing else: the name field keeps the keyboard.
                    focusPolicy: Qt.TabFocus
                    Accessible.name: view ? view.accessibleName : ""
                    background: Rectangle {
                        radius: width / 2
                        color: parent.view ? parent.view.backgroundColor : Theme.noFill
                        // Chosen: a solid border; under the mouse, a thin one.
                        border.width: parent.chosen ? 3 : parent.hovered ? 1 : 0
                        border.color: page.Material.foreground
                        // The keyboard focus, just outside the colour.
                        FocusRing {
                            inset: -5
                            radius: width / 2
                            shown: swatch.visualFocus
                        }
                    }
                    contentItem: Label {
                        text: parent.chosen ? "\u2713" : ""
                        color: parent.view ? Theme.inkOn(parent.view.backgroundColor) : page.Material.foreground
                        font.pixelSize: 22
                        font.bold: true
                        horizontalAlignment: Text.AlignHCenter
                        verticalAlignment: Text.AlignVCenter
                    }
                    // A screen reader's activate does what a tap does.
                    Accessible.onPressAction: clicked()
                    HoverHandler { cursorShape: Qt.PointingHandCursor }
                    onClicked: view.tap()
                }
            }
        }

        FilledButton {
            objectName: Names.outletName(Storyboard.AddButton)
            Layout.fillWidth: true
            Layout.preferredHeight: 52
            text: page.saveButton ? page.saveButton.title : ""
            fill: page.saveButton ? page.saveButton.backgroundColor : Theme.noFill
            ink: Theme.inkOn(fill)
            onClicked: page.saveButton.tap()
        }

        Label {
            readonly property ViewBridge view: page.outlet(Storyboard.ResultsLabel)
            objectName: Names.outletName(Storyboard.ResultsLabel)
            Layout.fillWidth: true
            text: view ? view.text : ""
            wrapMode: Text.Wrap
            // At most two lines, however long the name in it.
            maximumLineCount: 2
            elide: Text.ElideRight
            horizontalAlignment: Text.AlignHCenter
            opacity: 0.8
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
    }
}

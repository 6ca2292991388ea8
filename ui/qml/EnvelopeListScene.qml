// The envelope list: each envelope's name on its colour and its balance at the right, the total
// under the list. Rows swipe to their actions; in editing mode they drag to a new place.
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
    readonly property ViewBridge totalLabel: Names.outlet(scene, Storyboard.TotalLabel)

    ListView {
        id: list
        objectName: Names.itemName(Storyboard.EnvelopeListView)
        anchors.top: parent.top
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: totalBar.top
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
        // The row being dragged into a new order, and the place it would land on: the rows
        // between move aside, and move back at once on the drop, which reorders the rows.
        property int dragFrom: -1
        property int dragTo: -1
        property bool dragAnimates: false

        // A row dragged near the top or bottom edge scrolls the list that way, faster the closer
        // it is, so that it can be carried past what the window shows. The rows scrolled past stay
        // made and drawn (as in a display margin; the cache's rows are not drawn), so that the
        // dragged one, whose place is among them, is neither taken away nor hidden mid-drag.
        readonly property real dragEdge: 48
        property real contentYAtDragStart: 0
        onDragFromChanged: contentYAtDragStart = contentY
        displayMarginBeginning: dragFrom >= 0 ? Math.max(0, contentY - contentYAtDragStart) : 0
        displayMarginEnd: dragFrom >= 0 ? Math.max(0, contentYAtDragStart - contentY) : 0
        function edgeScrollStep() {
            var dragged = dragFrom >= 0 ? itemAtIndex(dragFrom) : null;
            if (!dragged)
                return 0;
            var middle = dragged.y + dragged.dragOffset + dragged.height / 2 - contentY;
            var into = middle < dragEdge ? middle - dragEdge
                     : middle > height - dragEdge ? middle - (height - dragEdge) : 0;
            return Math.max(-1, Math.min(1, into / dragEdge)) * 12;
        }
        Timer {
            interval: 16
            repeat: true
            running: list.dragFrom >= 0
            onTriggered: {
                var top = list.originY;
                var bottom = Math.max(top, list.originY + list.contentHeight - list.height);
                list.contentY = Math.max(top, Math.min(bottom,
                                                       list.contentY + list.edgeScrollStep()));
            }
        }

        delegate: SwipeRow {
            id: envelopeRow
            required property int index
            required property cellLabels labels
            readonly property cellLabel nameLabel: Names.cellLabel(labels, Storyboard.EnvelopeNameLabel)
            readonly property cellLabel totalLabel: Names.cellLabel(labels, Storyboard.EnvelopeTotalLabel)

            objectName: Names.itemName(Storyboard.EnvelopeRow) + index
            width: list.width
            height: 64
            table: page.table
            rowIndex: index
            reorderable: true
            opens: true
            shift: list.dragFrom < 0 || index === list.dragFrom ? 0
                   : index > list.dragFrom && index <= list.dragTo ? -height
                   : index < list.dragFrom && index >= list.dragTo ? height : 0
            animateShift: list.dragAnimates
            onReorderMoved: function(from, to) {
                list.dragAnimates = to >= 0;
                list.dragFrom = to >= 0 ? from : -1;
                list.dragTo = to;
            }
            accessibleName: nameLabel.text + ", balance " + totalLabel.text

            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 16
                anchors.rightMargin: envelopeRow.editing ? 64 : 16
                spacing: 12

                Rectangle {
                    objectName: Names.cellLabelName(Storyboard.EnvelopeNameLabel)
                    Layout.fillWidth: true
                    Layout.maximumWidth: nameText.implicitWidth + 24
                    Layout.preferredHeight: 40
                    radius: 10
                    color: envelopeRow.nameLabel.color
                    Label {
                        id: nameText
                        objectName: Names.itemName(Storyboard.EnvelopeNameText)
                        anchors.fill: parent
                        anchors.leftMargin: 12
                        anchors.rightMargin: 12
                        verticalAlignment: Text.AlignVCenter
                        text: envelopeRow.nameLabel.text
                        elide: Text.ElideRight
                        // Large bold text: on the mid-tone colours neither black nor white
                        // stands out enough from them at a smaller size.
                        font.pixelSize: 19
                        font.bold: true
                        // Black or white on the envelope colour, whichever reads better; the
                        // theme's text colour on no colour.
                        color: envelopeRow.nameLabel.painted
                               ? Theme.inkOn(envelopeRow.nameLabel.color)
                               : page.Material.foreground
                    }
                }
                Label {
                    objectName: Names.cellLabelName(Storyboard.EnvelopeTotalLabel)
                    // While the row actions take most of a narrow row, the name keeps the room.
                    // (The room left after the margins, the spacing and this label.)
                    visible: envelopeRow.contentWidth - (envelopeRow.editing ? 92 : 44)
                             - implicitWidth >= Math.min(nameText.implicitWidth + 24, 96)
                    Layout.alignment: Qt.AlignRight | Qt.AlignVCenter
                    horizontalAlignment: Text.AlignRight
                    text: envelopeRow.totalLabel.text
                    font.pixelSize: 17
                    color: envelopeRow.totalLabel.tone === LabelTone.Negative
                           ? Theme.negativeText : page.Material.foreground
                }
            }
        }

        // A deleted envelope's row goes with the reload, at once, and the rows below move up.
    }

    Label {
        objectName: Names.itemName(Storyboard.EmptyHint)
        visible: list.count === 0
        anchors.centerIn: list
        width: list.width - 64
        horizontalAlignment: Text.AlignHCenter
        wrapMode: Text.Wrap
        opacity: 0.75
        text: "No envelopes yet.\nTap + to add your first one."
    }

    Pane {
        id: totalBar
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        Material.elevation: 0
        padding: 16
        Rectangle {
            parent: totalBar.background
            width: totalBar.width
            height: 1
            color: page.Material.dividerColor
        }
        Label {
            objectName: Names.outletName(Storyboard.TotalLabel)
            anchors.right: parent.right
            text: page.totalLabel ? page.totalLabel.text : ""
            font.pixelSize: 20
            font.bold: true
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
    }
}

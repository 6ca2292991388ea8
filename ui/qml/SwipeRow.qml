// A table row that slides left to reveal the row actions the kit offers for it, and a drag
// handle for reordering while the table is in editing mode. A tap selects the row; a swipe past
// most of the width triggers the first action at once. Its content goes on the sliding face. The
// row and its actions take the keyboard focus (drawn as the focus ring); the row's keys, named
// actions and accessible children come from TableRowItem; the arrow keys move the focus along the
// list.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import Allot.Kit
import Allot

TableRowItem {
    id: row
    property bool reorderable: false
    default property alias content: face.data

    readonly property bool revealed: table !== null && table.swipedRow === rowIndex
    readonly property bool editing: table !== null && table.editing
    readonly property real openOffset: -actions.width

    implicitHeight: 64
    // The drag handle exists only in editing mode; while it is dragged the row follows it.
    readonly property DragHandler reorderDrag: handle.item ? handle.item.drag : null
    readonly property bool reordering: reorderDrag !== null && reorderDrag.active
    z: reordering ? 10 : 0
    transform: Translate { y: row.reordering ? row.reorderDrag.translation.y : 0 }

    // While they show, the actions are the row's children for assistive technology.
    actionsItem: actions
    Row {
        id: actions
        anchors.right: parent.right
        height: parent.height
        Repeater {
            id: actionButtons
            model: row.revealed ? row.table.rowActions : []
            delegate: AbstractButton {
                id: action
                required property var modelData
                required property int index
                width: 84
                height: actions.height
                Accessible.role: Accessible.Button
                Accessible.name: modelData.title.replace("\n", " ")
                background: Rectangle {
                    color: action.modelData.color
                    FocusRing {
                        inset: 3
                        shown: action.visualFocus
                    }
                }
                contentItem: Label {
                    text: modelData.title
                    color: Theme.inkOn(modelData.color)
                    font.pixelSize: 14
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
                // A screen reader's activate does what a tap does.
                Accessible.onPressAction: clicked()
                // The keyboard goes back to the row, where a confirmation returns it.
                onClicked: {
                    if (activeFocus)
                        row.forceActiveFocus(Qt.OtherFocusReason);
                    row.table.triggerRowAction(index);
                }
            }
        }
    }

    Rectangle {
        id: face
        width: row.width
        height: row.height
        color: row.Material.backgroundColor
        x: row.revealed ? row.openOffset : 0
        Behavior on x {
            enabled: !swipeDrag.active
            NumberAnimation { duration: 160; easing.type: Easing.OutCubic }
        }

        Rectangle {
            anchors.bottom: parent.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.leftMargin: 16
            height: 1
            color: row.Material.dividerColor
        }

        DragHandler {
            id: swipeDrag
            enabled: !row.editing && row.table !== null
            yAxis.enabled: false
            xAxis.minimum: -row.width
            xAxis.maximum: 0
            onActiveChanged: {
                if (active) {
                    if (!row.revealed)
                        row.table.swipe(row.rowIndex);
                    return;
                }
                if (face.x < -row.width * 0.6 && row.revealed)
                    row.table.commitDelete(row.rowIndex);
                else if (face.x > -32)
                    row.table.hideRowActions();
                face.x = Qt.binding(function() { return row.revealed ? row.openOffset : 0 });
            }
        }
        TapHandler {
            enabled: !row.editing
            onTapped: {
                if (row.revealed)
                    row.table.hideRowActions();
                else
                    row.table.select(row.rowIndex);
            }
        }
    }

    // The keyboard focus, drawn over the face.
    FocusRing {
        anchors.fill: face
        inset: 3
        shown: row.activeFocus
    }

    // The focus follows the list's current row, and a moved row keeps it.
    onActiveFocusChanged: if (activeFocus && ListView.view) ListView.view.currentIndex = rowIndex
    onActionsRevealed: Qt.callLater(function() {
        var first = actionButtons.itemAt(0);
        if (first)
            first.forceActiveFocus(Qt.TabFocusReason);
    })
    onMoved: function(to) {
        var list = ListView.view;
        if (!list)
            return;
        list.currentIndex = to;
        if (list.currentItem)
            list.currentItem.forceActiveFocus();
    }

    Loader {
        id: handle
        active: row.editing && row.reorderable
        anchors.right: parent.right
        anchors.rightMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        sourceComponent: Label {
            readonly property alias drag: reorderDrag
            objectName: "reorderHandle"
            width: 40
            height: row.height
            text: "\u2261"
            font.pixelSize: 26
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            opacity: 0.6
            Accessible.role: Accessible.Button

            DragHandler {
                id: reorderDrag
                target: null
                xAxis.enabled: false
                onActiveChanged: {
                    if (active)
                        return;
                    var steps = Math.round(translation.y / row.height);
                    var count = row.table.count;
                    var to = Math.max(0, Math.min(count - 1, row.rowIndex + steps));
                    if (to !== row.rowIndex)
                        row.table.move(row.rowIndex, to);
                }
            }
        }
    }

    Accessible.role: Accessible.ListItem
    Accessible.name: accessibleName
}

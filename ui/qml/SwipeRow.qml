// A table row that slides left to reveal the row actions the kit offers for it, and a drag
// handle for reordering while the table is in editing mode. A tap selects the row. A finger's
// swipe past most of the width triggers the first action at once; the mouse only reveals (a drag,
// or a touchpad's sideways swipe, which TableRowItem turns into the same reveal), so no ordinary
// drag deletes. The row's content goes on the sliding face and keeps to the part of it still in
// view, so the revealed actions never hide which row they act on. Under the mouse the row is
// shaded, and the pointer is a hand where a click opens it; a right-click opens a menu of the
// row's named actions. While a row is dragged into a new order, the rows it passes move aside
// (the list tells each its `shift`) and a frame shows where it will land; the list may scroll
// under a dragged row, which stays under the finger and lands by how far it went in the list. The
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
    // Selecting the row opens a screen: the pointer shows a hand over it.
    property bool opens: false
    default property alias content: contentArea.data

    readonly property bool revealed: table !== null && table.swipedRow === rowIndex
    readonly property bool editing: table !== null && table.editing
    // Counted rather than read from the actions' Row, which lays out only before the next frame.
    readonly property real openOffset: -actionButtons.count * actionWidth
    // The width the content has: the row's, less what the actions revealed beside it take.
    readonly property real contentWidth: contentArea.width
    // Each action is narrower on a narrow row, so that the content keeps some room.
    readonly property real actionWidth:
        Math.max(64, Math.min(84, (width - 144) / Math.max(1, actionButtons.count)))

    implicitHeight: 64
    // The drag handle exists only in editing mode; while it is dragged the row follows it, and
    // the list's scrolling since the drag began.
    readonly property DragHandler reorderDrag: handle.item ? handle.item.drag : null
    readonly property bool reordering: reorderDrag !== null && reorderDrag.active
    // (Read only while a row is dragged, so that scrolling costs the other rows nothing.)
    property real listScrollAtDragStart: 0
    function listScroll() {
        return ListView.view ? ListView.view.contentY : 0;
    }
    function dragDistance() {
        return reorderDrag.translation.y + listScroll() - listScrollAtDragStart;
    }
    readonly property real dragOffset: reordering ? dragDistance() : 0
    z: reordering ? 10 : 0
    transform: [
        Translate {
            y: row.shift
            Behavior on y {
                enabled: row.animateShift
                NumberAnimation { duration: 160; easing.type: Easing.OutCubic }
            }
        },
        Translate { y: row.dragOffset }
    ]

    // While a row is dragged it reports where it would land now (`to` -1 once it is dropped,
    // just before the move), and each row hears from the list how far to move aside.
    signal reorderMoved(int from, int to)
    property real shift: 0
    property bool animateShift: false
    function landingAfter(dy) {
        return Math.max(0, Math.min(table.count - 1, rowIndex + Math.round(dy / height)));
    }
    readonly property int landing: reordering ? landingAfter(dragOffset) : -1
    onLandingChanged: if (reordering) reorderMoved(rowIndex, landing)

    // Where the dragged row will land: a frame in the place the other rows left, made only while
    // the row is dragged.
    Loader {
        active: row.reordering
        x: 8
        y: (row.landing - row.rowIndex) * row.height + 4 - row.dragOffset
        sourceComponent: Rectangle {
            objectName: Names.itemName(Storyboard.LandingPlace)
            width: row.width - 16
            height: row.height - 8
            radius: 8
            color: Qt.rgba(row.Material.accent.r, row.Material.accent.g, row.Material.accent.b,
                           0.12)
            border.width: 2
            border.color: row.Material.accent
        }
    }

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
                required property rowAction modelData
                required property int index
                width: row.actionWidth
                height: actions.height
                Accessible.role: Accessible.Button
                Accessible.name: modelData.name
                background: Rectangle {
                    color: modelData.color
                    Rectangle {
                        anchors.fill: parent
                        color: Theme.hoverShade
                        visible: parent.parent.hovered
                    }
                    FocusRing {
                        inset: 3
                        shown: action.visualFocus
                    }
                }
                HoverHandler { cursorShape: Qt.PointingHandCursor }
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
        // Shaded under the mouse, and while its menu is open, which then shows which row it acts
        // on.
        color: (hover.hovered || menu.active) && !row.editing
               ? Qt.tint(row.Material.backgroundColor, Theme.hoverShade)
               : row.Material.backgroundColor
        x: row.revealed ? row.openOffset : 0
        // Lifted while it is dragged: the frame where it will land shows through.
        opacity: row.reordering ? 0.85 : 1
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
        // The content stays where it was while the face slides, and gives up the part the
        // actions now take.
        Item {
            id: contentArea
            x: -face.x
            width: row.width + face.x
            height: face.height
            clip: face.x < 0
        }

        DragHandler {
            id: swipeDrag
            // A finger may swipe on to delete; the mouse stops where the actions end.
            property bool byFinger: false
            enabled: !row.editing && row.table !== null
            yAxis.enabled: false
            xAxis.minimum: byFinger ? -row.width : row.openOffset
            xAxis.maximum: 0
            onActiveChanged: {
                if (active) {
                    byFinger = centroid.device.type === PointerDevice.TouchScreen;
                    if (!row.revealed)
                        row.table.swipe(row.rowIndex);
                    return;
                }
                if (byFinger && face.x < -row.width * 0.6 && row.revealed)
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
        TapHandler {
            // A touch has no buttons: without this, every tap of a finger would open the menu.
            acceptedDevices: PointerDevice.Mouse | PointerDevice.TouchPad | PointerDevice.Stylus
            acceptedButtons: Qt.RightButton
            onTapped: function(point) { row.openMenu(point.position) }
        }
    }

    // The right-click menu: the row's named actions, each done as its gesture would do it (the
    // same confirmations follow). It is made only while it is open.
    function openMenu(position) {
        var offered = offeredActions();
        if (offered.length === 0)
            return;
        menu.active = true;
        menu.item.offered = offered;
        menu.item.popup(face, position.x, position.y);
    }
    Loader {
        id: menu
        active: false
        sourceComponent: Menu {
            id: rowMenu
            property var offered: []
            objectName: Names.itemName(Storyboard.RowMenu)
            // Flat: an elevation shadow needs shader effects, which not every backend draws.
            Material.elevation: 0
            background: Rectangle {
                implicitWidth: 200
                radius: 4
                color: Theme.dialogBackground
                border.color: row.Material.dividerColor
            }
            onClosed: Qt.callLater(function() { menu.active = false })
            Instantiator {
                model: rowMenu.offered
                delegate: MenuItem {
                    required property rowAction modelData
                    text: modelData.name
                    Accessible.role: Accessible.MenuItem
                    Accessible.name: modelData.name
                    HoverHandler { cursorShape: Qt.PointingHandCursor }
                    onTriggered: row.perform(modelData)
                }
                onObjectAdded: function(index, item) { rowMenu.insertItem(index, item) }
            }
        }
    }

    HoverHandler {
        id: hover
        cursorShape: row.opens && !row.editing && !row.revealed ? Qt.PointingHandCursor
                                                                  : Qt.ArrowCursor
    }

    // The keyboard focus, drawn over the face; made only on the row that has it.
    Loader {
        anchors.fill: face
        z: 1
        active: row.activeFocus
        sourceComponent: FocusRing {
            inset: 3
            shown: true
        }
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
            objectName: Names.itemName(Storyboard.ReorderHandle)
            width: 40
            height: row.height
            text: "\u2261"
            font.pixelSize: 26
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            opacity: 0.6
            Accessible.role: Accessible.Button
            HoverHandler {
                cursorShape: reorderDrag.active ? Qt.ClosedHandCursor : Qt.OpenHandCursor
            }

            DragHandler {
                id: reorderDrag
                target: null
                xAxis.enabled: false
                onActiveChanged: {
                    if (active) {
                        row.listScrollAtDragStart = row.listScroll();
                        row.reorderMoved(row.rowIndex, row.rowIndex);
                        return;
                    }
                    var to = row.landingAfter(row.dragDistance());
                    row.reorderMoved(row.rowIndex, -1);
                    if (to !== row.rowIndex)
                        row.table.move(row.rowIndex, to);
                }
            }
        }
    }

    Accessible.role: Accessible.ListItem
    Accessible.name: accessibleName
}

// The window: a navigation bar over a stack of pages, one per screen of the kit's navigation
// stack, the notice above them, and the alert on display as a modal dialog. A window wide enough
// for two pages shows the root screen's page, under a bar of its own, in a column beside the
// stack (the kit is told, so that it keeps that screen current); the stack's first place then
// only asks the user to choose. All state comes from `kit`, handed over by the program when it
// loads the window.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import Allot.Kit
import Allot

ApplicationWindow {
    id: window
    // A phone's proportions, but never more than the screen has room for, whatever the scale
    // factor; room is left for the frame a window manager adds (the program says how much: none
    // on a display without one). The first size is set once, in Component.onCompleted, so that the
    // window stays freely resizable.
    property int frameAllowance: 48
    readonly property int roomWidth: Screen.desktopAvailableWidth
    readonly property int roomHeight: Screen.desktopAvailableHeight - frameAllowance
    width: 390
    height: 844
    minimumWidth: Math.min(320, roomWidth)
    minimumHeight: Math.min(480, roomHeight)
    visible: true
    title: "Allot"
    // Dark when the system's palette is dark (desktop themes set it), light otherwise.
    Material.theme: systemPalette.window.hslLightness < 0.5 ? Material.Dark : Material.Light
    Material.accent: Material.Green
    Material.primary: Material.Green

    Binding {
        target: Theme
        property: "dark"
        value: window.Material.theme === Material.Dark
    }

    SystemPalette {
        id: systemPalette
        colorGroup: SystemPalette.Active
    }

    required property KitBridge kit
    readonly property list<SceneBridge> scenes: kit.scenes
    readonly property SceneBridge topScene: scenes.length > 0 ? scenes[scenes.length - 1] : null

    // Room for two phone-wide pages and a little more; the root's column takes about a third.
    readonly property bool wide: width >= 800
    readonly property real besideWidth: wide ? Math.max(340, Math.min(440, width * 0.36)) : 0
    onWideChanged: kit.showRootBeside(wide)

    // Made only on a wide window: the narrow one, the usual first one, comes up sooner without.
    Loader {
        id: besideBar
        active: window.wide
        anchors.left: parent.left
        anchors.top: parent.top
        width: window.besideWidth
        sourceComponent: NavigationBar {
            objectName: Names.itemName(Storyboard.BesideBar)
            scene: window.scenes.length > 0 ? window.scenes[0] : null
        }
    }
    NavigationBar {
        id: bar
        objectName: Names.itemName(Storyboard.NavigationBar)
        anchors.left: besideBar.right
        anchors.right: parent.right
        anchors.top: parent.top
        // Beside the root's own column, the stack's first place has no bar of its own.
        scene: window.wide && window.scenes.length < 2 ? null : window.topScene
        backTitle: window.scenes.length > 1 ? window.scenes[window.scenes.length - 2].title : ""
        onBackTapped: kit.goBack()
    }

    // The notice and the alert are made only while there is one to show: most launches have
    // neither, and the first frame comes sooner without them.
    Loader {
        id: notice
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: bar.bottom
        // Nothing once the notice is gone: the pages take its room back.
        height: item ? item.implicitHeight : 0
        active: kit.noticeText !== ""
        sourceComponent: NoticeBar {
            text: kit.noticeText
            dismissible: kit.noticeDismissible
            actionTitle: kit.noticeActionTitle
            onDismissed: kit.dismissNotice()
            onActed: kit.tapNoticeAction()
        }
    }

    // The root's column on a wide window; its page is in here then, else in the stack.
    Item {
        id: besideColumn
        objectName: Names.itemName(Storyboard.BesideColumn)
        visible: window.wide
        anchors.left: parent.left
        anchors.top: notice.bottom
        anchors.bottom: parent.bottom
        width: window.besideWidth
    }
    Rectangle {
        visible: window.wide
        x: window.besideWidth - 1
        width: 1
        height: window.height
        color: window.Material.dividerColor
        z: 1
    }

    StackView {
        id: stack
        objectName: Names.itemName(Storyboard.Stack)
        onBusyChanged: if (!busy) window.focusFirstControl()
        anchors.left: besideColumn.right
        anchors.right: parent.right
        anchors.top: notice.bottom
        anchors.bottom: parent.bottom
        // Pages slide within their column.
        clip: window.wide
    }

    // The root's page lives in here, which stands in the stack's first place or in the column.
    property Item rootPlace: null
    Item {
        id: rootHolder
        parent: window.wide ? besideColumn : window.rootPlace
        anchors.fill: parent
    }
    Component {
        id: rootPlaceComponent
        Item {
            property SceneBridge scene
            Loader {
                active: window.wide
                anchors.centerIn: parent
                width: Math.min(parent.width - 64, 360)
                sourceComponent: Label {
                    objectName: Names.itemName(Storyboard.ChooseHint)
                    horizontalAlignment: Text.AlignHCenter
                    wrapMode: Text.Wrap
                    opacity: 0.75
                    text: "Choose an envelope to see its transactions here."
                }
            }
        }
    }

    Loader {
        active: kit.alert !== null
        sourceComponent: AlertDialog {
            alert: kit.alert
        }
    }

    // An alert takes the keyboard; once it is gone the keyboard goes back to where it was or, when
    // that is no longer on display (a row action, hidden since), to the control around it (its
    // row); else it stays on the control that took it meanwhile, or goes to the screen's first.
    // Without this the focus could be nowhere after a confirmation, and a screen reader silent.
    property Item focusBeforeAlert: null
    property Item focusAroundAlert: null
    Connections {
        target: kit
        function onAlertChanged() {
            if (kit.alert === null) {
                Qt.callLater(window.focusAfterAlert);
            } else if (window.focusBeforeAlert === null) {
                var before = window.activeFocusItem;
                window.focusBeforeAlert = before;
                window.focusAroundAlert = window.focusableAround(before ? before.parent : null);
            }
        }
    }
    function focusableAround(item) {
        for (var up = item; up; up = up.parent) {
            if (up.activeFocusOnTab)
                return up;
        }
        return null;
    }
    function focusAfterAlert() {
        var candidates = [focusBeforeAlert, focusAroundAlert];
        focusBeforeAlert = focusAroundAlert = null;
        if (kit.alert)
            return;
        for (var i = 0; i < candidates.length; ++i) {
            var item = candidates[i];
            if (item && item.visible && item.enabled) {
                item.forceActiveFocus(Qt.TabFocusReason);
                return;
            }
        }
        if (!focusableAround(activeFocusItem))
            focusFirstControl();
    }

    // Pops the pages whose screens left the kit's stack and pushes the new ones (at once when
    // `immediately`, as at the start). The root's page is made once, into rootHolder.
    function syncStack(immediately) {
        var keep = 0;
        while (keep < stack.depth && keep < scenes.length
               && stack.get(keep, StackView.ForceLoad).scene === scenes[keep])
            ++keep;
        if (keep === 0) {
            stack.clear();
            for (var old = rootHolder.children.length - 1; old >= 0; --old)
                rootHolder.children[old].destroy();
        } else if (keep < stack.depth) {
            stack.pop(stack.get(keep - 1, StackView.ForceLoad));
        }
        for (var i = keep; i < scenes.length; ++i) {
            var operation = immediately || stack.depth === 0 ? StackView.Immediate
                                                             : StackView.PushTransition;
            if (i === 0) {
                var root = Qt.createComponent(Names.sceneFile(scenes[0]))
                             .createObject(rootHolder, {"scene": scenes[0]});
                root.anchors.fill = rootHolder;
                kit.keepWithPage(scenes[0], root);
                rootPlace = stack.push(rootPlaceComponent, {"scene": scenes[0]}, operation);
            } else {
                kit.keepWithPage(scenes[i], stack.push(Names.sceneFile(scenes[i]),
                                                       {"scene": scenes[i]}, operation));
            }
        }
        if (!stack.busy)
            Qt.callLater(window.focusFirstControl);
    }

    // A screen that opens (or comes back) gives the keyboard focus to its first field or, where
    // there is none, its first row: the first control of the page in Tab order.
    function focusFirstControl() {
        var page = wide && stack.depth === 1 ? rootHolder : stack.currentItem;
        if (!page || kit.alert)
            return;
        var first = page.nextItemInFocusChain(true);
        for (var up = first; up; up = up.parent) {
            if (up === page) {
                first.forceActiveFocus(Qt.TabFocusReason);
                return;
            }
        }
        page.forceActiveFocus();
    }

    // Undo and redo of the last change to the budget, at any time; a text field with the focus
    // takes them first for its own text.
    Shortcut {
        sequences: [StandardKey.Undo]
        enabled: !kit.alert
        onActivated: kit.undo()
    }
    Shortcut {
        sequences: [StandardKey.Redo, "Ctrl+Shift+Z"]
        enabled: !kit.alert
        onActivated: kit.redo()
    }

    // The keys of the whole window; an alert on display takes them first, except the quit.
    // Escape leaves editing mode as the Done button does, and otherwise goes back a screen.
    Shortcut {
        sequence: "Escape"
        enabled: !kit.alert
        onActivated: {
            if (!window.topScene || !window.topScene.editing || !window.topScene.tapEditButton())
                kit.goBack();
        }
    }
    // Ctrl+N presses the list's +, F1 its About button.
    Shortcut {
        sequence: "Ctrl+N"
        enabled: !kit.alert && window.topScene !== null && window.topScene.rightItemIsAdd
        onActivated: window.topScene.tapRightItem()
    }
    Shortcut {
        sequence: "F1"
        enabled: !kit.alert && window.topScene !== null
        onActivated: Names.tapBarItem(window.topScene, Storyboard.AboutItem)
    }
    // Ctrl+Q closes the window, so a quit with changes not saved asks first, as closing does.
    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: window.close()
    }

    Connections {
        target: kit
        function onScenesChanged() { window.syncStack(false) }
    }
    Component.onCompleted: {
        width = Math.min(390, roomWidth);
        height = Math.min(844, roomHeight);
        syncStack(true);
        kit.resize(width, height);
        kit.showRootBeside(wide);
    }
    // Changes that could not be saved make the kit ask before the window goes.
    onClosing: function(close) { close.accepted = kit.mayQuit() }
    onWidthChanged: kit.resize(width, height)
    onHeightChanged: kit.resize(width, height)
}

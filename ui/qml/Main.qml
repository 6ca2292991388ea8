// The window: a navigation bar over a stack of pages, one per screen of the kit's navigation
// stack, the notice above them, and the alert on display as a modal dialog. All state comes from
// `kit`, handed over by the program when it loads the window.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import Allot.Kit
import Allot

ApplicationWindow {
    id: window
    // A phone's proportions, but never more than the screen has room for, whatever the scale
    // factor; room is left for the frame the window manager adds. The first size is set once, in
    // Component.onCompleted, so that the window stays freely resizable.
    readonly property int frameAllowance: 48
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

    header: NavigationBar {
        scene: window.topScene
        backTitle: window.scenes.length > 1 ? window.scenes[window.scenes.length - 2].title : ""
        onBackTapped: kit.goBack()
    }

    // The notice and the alert are made only while there is one to show: most launches have
    // neither, and the first frame comes sooner without them.
    Loader {
        id: notice
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
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

    StackView {
        id: stack
        objectName: "stack"
        onBusyChanged: if (!busy) window.focusFirstControl()
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: notice.bottom
        anchors.bottom: parent.bottom
    }

    Loader {
        active: kit.alert !== null
        sourceComponent: AlertDialog {
            alert: kit.alert
        }
    }

    // Pops the pages whose screens left the kit's stack and pushes the new ones.
    function syncStack() {
        var keep = 0;
        while (keep < stack.depth && keep < scenes.length
               && stack.get(keep, StackView.ForceLoad).scene === scenes[keep])
            ++keep;
        if (keep === 0)
            stack.clear();
        else if (keep < stack.depth)
            stack.pop(stack.get(keep - 1, StackView.ForceLoad));
        for (var i = keep; i < scenes.length; ++i) {
            var page = stack.push(Names.sceneFile(scenes[i].sceneName),
                                  {"scene": scenes[i]},
                                  stack.depth === 0 ? StackView.Immediate
                                                    : StackView.PushTransition);
            kit.keepWithPage(scenes[i], page);
        }
        if (!stack.busy)
            Qt.callLater(window.focusFirstControl);
    }

    // A screen that opens (or comes back) gives the keyboard focus to its first field or, where
    // there is none, its first row: the first control of the page in Tab order.
    function focusFirstControl() {
        var page = stack.currentItem;
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
        onActivated: window.topScene.tapBarItem(Names.barItem(Storyboard.AboutItem))
    }
    // Ctrl+Q closes the window, so a quit with changes not saved asks first, as closing does.
    Shortcut {
        sequence: "Ctrl+Q"
        onActivated: window.close()
    }

    Connections {
        target: kit
        function onScenesChanged() { window.syncStack() }
    }
    Component.onCompleted: {
        width = Math.min(390, roomWidth);
        height = Math.min(844, roomHeight);
        syncStack();
        kit.resize(width, height);
    }
    // Changes that could not be saved make the kit ask before the window goes.
    onClosing: function(close) { close.accepted = kit.mayQuit() }
    onWidthChanged: kit.resize(width, height)
    onHeightChanged: kit.resize(width, height)
}

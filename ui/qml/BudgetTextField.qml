// A text field bound to a kit text field: it shows the kit's text and placeholder, reports every
// keystroke, takes the keyboard in the kit when it takes focus here, and gives focus up when the
// kit's field gives up the keyboard.
import QtQuick
import QtQuick.Controls
import Allot.Kit
import Allot

TextField {
    id: field
    property ViewBridge view
    signal keyboardDismissed()

    text: view ? view.text : ""
    placeholderText: view ? view.placeholder : ""
    placeholderTextColor: Theme.placeholderText
    selectByMouse: true
    Accessible.name: view ? view.accessibleName : ""
    onTextEdited: view.edit(text)
    onActiveFocusChanged: {
        if (activeFocus && view && !view.focused)
            view.edit(text);
    }
    Connections {
        target: field.view
        function onFocusedChanged() {
            if (!field.view.focused && field.activeFocus)
                field.keyboardDismissed();
        }
    }
}

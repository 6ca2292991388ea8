// The About screen: one text that scrolls, back at its first line whenever the kit lays the
// screen out again.
import QtQuick
import QtQuick.Controls
import Allot.Kit
import Allot

Page {
    id: page
    property SceneBridge scene
    readonly property ViewBridge aboutText: scene ? scene.outlet(Names.outlet(Storyboard.AboutText)) : null

    Flickable {
        id: flick
        objectName: "aboutFlickable"
        anchors.fill: parent
        contentWidth: width
        contentHeight: text.implicitHeight
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        contentY: page.aboutText ? page.aboutText.contentY : 0
        ScrollIndicator.vertical: ScrollIndicator {}
        onMovementEnded: page.aboutText.scroll(contentY)

        Label {
            id: text
            objectName: Names.outlet(Storyboard.AboutText)
            width: flick.width
            padding: 20
            text: page.aboutText ? page.aboutText.text : ""
            wrapMode: Text.Wrap
            font.pixelSize: 16
            lineHeight: 1.25
            textFormat: Text.PlainText
            // Read whole by a screen reader; with the keyboard focus the arrow keys scroll it.
            activeFocusOnTab: true
            Accessible.role: Accessible.StaticText
            Accessible.name: page.aboutText ? page.aboutText.text : ""
            Accessible.description: "About Allot"
            Keys.onUpPressed: page.scrollBy(-40)
            Keys.onDownPressed: page.scrollBy(40)
            Keys.onPressed: function(event) {
                if (event.key === Qt.Key_PageUp || event.key === Qt.Key_PageDown) {
                    page.scrollBy(event.key === Qt.Key_PageUp ? -flick.height : flick.height);
                    event.accepted = true;
                }
            }
        }
    }

    function scrollBy(dy) {
        var top = Math.max(0, Math.min(flick.contentHeight - flick.height, flick.contentY + dy));
        flick.contentY = top;
        page.aboutText.scroll(top);
    }

    Connections {
        target: page.aboutText
        function onContentYChanged() { flick.contentY = page.aboutText.contentY }
    }
}

// The About screen: one text that scrolls, back at its first line whenever the kit lays the
// screen out again, which it does at every new size of the page. Its paragraphs are laid out by
// the kind the text gives each: the title (with the version under it), headings and body text;
// the lines keep to a readable measure on a wide page.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import Allot.Kit
import Allot

Page {
    id: page
    property SceneBridge scene
    readonly property ViewBridge aboutText: Names.outlet(scene, Storyboard.AboutText)

    Flickable {
        id: flick
        objectName: Names.itemName(Storyboard.AboutFlickable)
        anchors.fill: parent
        contentWidth: width
        contentHeight: text.implicitHeight
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        contentY: page.aboutText ? page.aboutText.contentY : 0
        ScrollIndicator.vertical: ScrollIndicator {}
        onMovementEnded: page.aboutText.scroll(contentY)

        // The whole text takes the keyboard focus; the arrow and page keys scroll it.
        Column {
            id: text
            objectName: Names.outletName(Storyboard.AboutText)
            width: Math.min(flick.width, Theme.readableWidth + 2 * padding)
            x: (flick.width - width) / 2
            padding: 20
            spacing: 12
            activeFocusOnTab: true
            Accessible.role: Accessible.Document
            Accessible.name: "About Allot"
            Keys.onUpPressed: page.scrollBy(-40)
            Keys.onDownPressed: page.scrollBy(40)
            Keys.onPressed: function(event) {
                if (event.key === Qt.Key_PageUp || event.key === Qt.Key_PageDown) {
                    page.scrollBy(event.key === Qt.Key_PageUp ? -flick.height : flick.height);
                    event.accepted = true;
                }
            }

            Repeater {
                model: Names.aboutParagraphs()
                delegate: Column {
                    required property shownParagraph modelData
                    readonly property bool heading: modelData.heading
                    width: text.width - 2 * text.padding
                    spacing: 2
                    // Text, not a Label: a control would report a heading as plain text.
                    Text {
                        width: parent.width
                        text: parent.modelData.text
                        wrapMode: Text.Wrap
                        textFormat: Text.PlainText
                        color: page.Material.foreground
                        font.pixelSize: parent.modelData.title ? 24 : parent.heading ? 18 : 16
                        font.bold: parent.heading
                        lineHeight: parent.heading ? 1.0 : 1.25
                        topPadding: parent.heading && !parent.modelData.title ? 8 : 0
                        Accessible.role: parent.heading ? Accessible.Heading : Accessible.Paragraph
                        Accessible.name: text
                    }
                    Text {
                        visible: parent.modelData.title && Qt.application.version !== ""
                        text: "Version " + Qt.application.version
                        color: page.Material.foreground
                        opacity: 0.7
                        font.pixelSize: 14
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                    }
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

    // Every new size of the page is a layout pass of the screen, whatever caused it: the window,
    // or the notice above the pages coming, going or changing its height.
    onWidthChanged: if (scene) scene.layOut()
    onHeightChanged: if (scene) scene.layOut()
}

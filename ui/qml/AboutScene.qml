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
            Accessible.role: Accessible.StaticText
            Accessible.name: "About Allot"
        }
    }

    Connections {
        target: page.aboutText
        function onContentYChanged() { flick.contentY = page.aboutText.contentY }
    }
}

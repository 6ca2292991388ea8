// The navigation bar: the back button (titled with the screen below) or the screen's own left
// items, the title in the middle, and the right item.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts
import Allot.Kit
import Allot

ToolBar {
    id: bar
    property SceneBridge scene
    property string backTitle
    signal backTapped()

    height: 56
    // Flat, with a hairline under it: elevation shadows need shader effects.
    Material.elevation: 0
    // The window's own text colour: the bar's default follows the accent, which here is not what
    // is under the text.
    Material.foreground: Theme.barText
    background: Rectangle {
        color: Theme.barBackground
        Rectangle {
            anchors.bottom: parent.bottom
            width: parent.width
            height: 1
            color: bar.Material.dividerColor
        }
    }

    RowLayout {
        id: leading
        anchors.left: parent.left
        anchors.verticalCenter: parent.verticalCenter
        anchors.leftMargin: 4
        spacing: 8

        ToolButton {
            id: back
            objectName: Names.itemName(Storyboard.BackButton)
            background: QuietButtonBackground { control: back }
            visible: bar.backTitle !== ""
            text: "\u2039 " + bar.backTitle
            font.pixelSize: 16
            font.capitalization: Font.MixedCase
            Accessible.name: "Back to " + bar.backTitle
            // A screen reader's activate does what a tap does.
            Accessible.onPressAction: clicked()
            HoverHandler { cursorShape: Qt.PointingHandCursor }
            onClicked: bar.backTapped()
        }
        Repeater {
            model: bar.backTitle === "" && bar.scene ? bar.scene.leftItems : []
            delegate: ToolButton {
                id: leftItem
                required property shownBarItem modelData
                required property int index
                objectName: modelData.identifier
                background: QuietButtonBackground { control: leftItem }
                text: modelData.title
                font.pixelSize: 16
                font.capitalization: Font.MixedCase
                Accessible.name: modelData.title
                // A screen reader's activate does what a tap does.
                Accessible.onPressAction: clicked()
                HoverHandler { cursorShape: Qt.PointingHandCursor }
                onClicked: bar.scene.tapLeftItem(index)
            }
        }
    }

    // The title, read as one heading. A name set in a sentence ends with U+2069 (it is isolated
    // from the text around it); what follows it, an amount, is never cut: the name gives way.
    Item {
        id: title
        objectName: Names.itemName(Storyboard.NavigationTitle)
        readonly property string text: bar.scene ? bar.scene.title : ""
        readonly property int nameEnd: text.lastIndexOf("\u2069") + 1
        // Centred on the bar when there is room, else in the space the buttons leave.
        readonly property real room: bar.width - leading.width - (trailing.visible ? trailing.width : 0) - 16
        readonly property real wanted: head.implicitWidth + tail.implicitWidth
        readonly property bool centred: wanted <= bar.width - 2 * Math.max(leading.width, trailing.visible ? trailing.width : 0) - 16
        anchors.verticalCenter: parent.verticalCenter
        x: centred ? (bar.width - width) / 2 : leading.width + 8
        width: Math.min(wanted, room)
        height: head.implicitHeight
        Accessible.role: Accessible.Heading
        Accessible.name: text

        // Text, not a Label: a control would report itself as plain text to a screen reader.
        Text {
            id: head
            objectName: Names.itemName(Storyboard.NavigationTitleName)
            color: bar.Material.foreground
            text: title.nameEnd > 0 ? title.text.substring(0, title.nameEnd) : title.text
            width: Math.max(0, title.width - tail.width)
            elide: Text.ElideRight
            font.pixelSize: 18
            font.bold: true
            Accessible.ignored: true
        }
        Text {
            id: tail
            objectName: Names.itemName(Storyboard.NavigationTitleAmount)
            anchors.left: head.right
            color: bar.Material.foreground
            text: title.nameEnd > 0 ? title.text.substring(title.nameEnd) : ""
            // Whole, however narrow the bar: smaller rather than cut.
            width: Math.min(implicitWidth, title.room)
            fontSizeMode: Text.HorizontalFit
            minimumPixelSize: 10
            font.pixelSize: 18
            font.bold: true
            Accessible.ignored: true
        }
    }

    ToolButton {
        id: trailing
        objectName: Names.itemName(Storyboard.RightItem)
        background: QuietButtonBackground { control: trailing }
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: bar.scene !== null && bar.scene.rightItem !== ""
        text: bar.scene && bar.scene.rightItemIsAdd ? "+" : (bar.scene ? bar.scene.rightItem : "")
        font.pixelSize: bar.scene && bar.scene.rightItemIsAdd ? 28 : 16
        font.capitalization: Font.MixedCase
        Accessible.name: bar.scene ? bar.scene.rightItem : ""
        // A screen reader's activate does what a tap does.
        Accessible.onPressAction: clicked()
        HoverHandler { cursorShape: Qt.PointingHandCursor }
        onClicked: bar.scene.tapRightItem()
    }
}

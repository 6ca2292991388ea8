// Why Allot cannot start, for a user who launched it from a menu and sees no terminal: the
// sentence and a Quit button, in a small window of its own.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Layouts

ApplicationWindow {
    id: window
    required property string message

    width: 380
    height: 220
    minimumWidth: 300
    minimumHeight: 180
    visible: true
    title: "Allot"
    Material.accent: Material.Green

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 20
        spacing: 12
        Label {
            text: "Allot cannot start"
            font.pixelSize: 18
            font.bold: true
            Accessible.role: Accessible.Heading
        }
        Label {
            Layout.fillWidth: true
            Layout.fillHeight: true
            text: window.message
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            elide: Text.ElideRight
        }
        Button {
            Layout.alignment: Qt.AlignRight
            text: "Quit"
            font.capitalization: Font.MixedCase
            highlighted: true
            focus: true
            Accessible.name: "Quit"
            Accessible.onPressAction: Qt.quit()
            onClicked: Qt.quit()
            Keys.onReturnPressed: Qt.quit()
        }
    }
}

// The keyboard focus, drawn the same on every control: a ring in the focus colour with a thin
// line of the window's own background inside it, so that it shows on any fill (an envelope's
// colour, a row action, a bar). It lies `inset` pixels inside its parent's edges (outside them
// when negative) and shows while `shown` holds.
import QtQuick
import Allot

Rectangle {
    id: ring
    property real inset: 0
    property bool shown: false

    objectName: Names.itemName(Storyboard.FocusRing)
    anchors.fill: parent
    anchors.margins: inset
    visible: shown
    z: 1
    color: Theme.noFill
    radius: 6
    border.width: 3
    border.color: Theme.focusRing

    Rectangle {
        anchors.fill: parent
        anchors.margins: ring.border.width
        radius: Math.max(0, ring.radius - ring.border.width)
        color: Theme.noFill
        border.width: 1
        border.color: Theme.focusHalo
    }
}

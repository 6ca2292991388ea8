// The background of a button that is text alone (the bar's items, the notice's close button, an
// alert's actions): Material's ripple while it is pressed or under the pointer, and the focus ring
// while the keyboard is on it, instead of the ripple that Material shows for the focus too.
import QtQuick
import QtQuick.Controls
import QtQuick.Controls.Material
import QtQuick.Controls.Material.impl
import QtQuick.Templates as T
import Allot

Item {
    id: shade
    required property T.AbstractButton control

    implicitWidth: control.Material.touchTarget
    implicitHeight: control.Material.touchTarget

    Ripple {
        anchors.fill: parent
        clip: true
        pressed: shade.control.pressed
        anchor: shade.control
        active: shade.control.enabled && (shade.control.down || shade.control.hovered)
        color: shade.control.Material.rippleColor
    }
    FocusRing {
        inset: 2
        shown: shade.control.visualFocus
    }
}

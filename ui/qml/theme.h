// Theme: the QML singleton that holds every colour the layout paints beside the palette's and the
// kit's own (which come with the views): bars, notices, the tone of negative amounts, the ink on
// the envelope colours, the fills of the two recording buttons and the keyboard focus ring, each
// in a light and a dark appearance, and the readable measure that forms keep to. The window says
// which appearance it shows; nothing else in the layout names a colour.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>

namespace allot {

class Theme : public QObject {
  Q_OBJECT
  QML_ELEMENT
  QML_SINGLETON
  Q_PROPERTY(bool dark READ dark WRITE setDark NOTIFY appearanceChanged)
  Q_PROPERTY(QColor barBackground READ barBackground NOTIFY appearanceChanged)
  Q_PROPERTY(QColor barText READ barText NOTIFY appearanceChanged)
  Q_PROPERTY(QColor noticeBackground READ noticeBackground NOTIFY appearanceChanged)
  Q_PROPERTY(QColor negativeText READ negativeText NOTIFY appearanceChanged)
  Q_PROPERTY(QColor destructiveText READ destructiveText NOTIFY appearanceChanged)
  Q_PROPERTY(QColor actionText READ actionText NOTIFY appearanceChanged)
  Q_PROPERTY(QColor dialogBackground READ dialogBackground NOTIFY appearanceChanged)
  Q_PROPERTY(QColor inkOnPalette READ inkOnPalette CONSTANT)
  Q_PROPERTY(QColor inkOnFill READ inkOnFill CONSTANT)
  Q_PROPERTY(QColor pressedShade READ pressedShade CONSTANT)
  Q_PROPERTY(QColor hoverShade READ hoverShade NOTIFY appearanceChanged)
  Q_PROPERTY(QColor placeholderText READ placeholderText NOTIFY appearanceChanged)
  Q_PROPERTY(QColor dimLayer READ dimLayer NOTIFY appearanceChanged)
  Q_PROPERTY(QColor focusRing READ focusRing NOTIFY appearanceChanged)
  Q_PROPERTY(QColor focusHalo READ focusHalo NOTIFY appearanceChanged)
  Q_PROPERTY(QColor noFill READ noFill CONSTANT)
  Q_PROPERTY(QColor addFill READ addFill CONSTANT)
  Q_PROPERTY(QColor subtractFill READ subtractFill CONSTANT)
  // The widest a form or a column of text grows, however wide the page.
  Q_PROPERTY(qreal readableWidth READ readableWidth CONSTANT)

 public:
  using QObject::QObject;

  bool dark() const { return dark_; }
  void setDark(bool dark);

  QColor barBackground() const;
  // The bars' text: the window's own text colour, not the accent the bar would follow.
  QColor barText() const;
  QColor noticeBackground() const;
  // Amounts below zero; a darker red than the system's on light backgrounds, for contrast.
  QColor negativeText() const;
  // Alert actions that destroy data: the kit's red, deepened or lightened until it reads on the
  // dialog.
  QColor destructiveText() const;
  // The other alert actions: the accent green, as dark or light as reading needs.
  QColor actionText() const;
  QColor dialogBackground() const;
  // No colour at all: what a ring or a view without a background fills with.
  QColor noFill() const { return Qt::transparent; }
  // Text on the envelope colours, which are all bright.
  QColor inkOnPalette() const;
  // Black or white, whichever stands out more from `background` (envelope colours, row actions).
  Q_INVOKABLE QColor inkOn(const QColor& background) const;
  // Text on the solid button fills.
  QColor inkOnFill() const;
  // Laid over a button while it is held down.
  QColor pressedShade() const;
  // Laid over a row or a button while the mouse is over it: darker on light, lighter on dark.
  QColor hoverShade() const;
  // The hint in an empty field: paler than typed text, still readable.
  QColor placeholderText() const;
  // Laid over the window behind a dialog: it darkens in both appearances.
  QColor dimLayer() const;
  // The keyboard focus ring, and the thin line inside it that lets the ring show on any fill
  // (the envelope colours, the row actions' backgrounds, the bars).
  QColor focusRing() const;
  QColor focusHalo() const;
  QColor addFill() const;
  QColor subtractFill() const;
  qreal readableWidth() const { return 560; }

 signals:
  void appearanceChanged();

 private:
  bool dark_ = false;
};

}  // namespace allot

// ViewBridge: one kit view of a scene (found by its outlet name), as QML sees it: its text,
// placeholder, button title, background colour, scroll offset, whether it has the keyboard and
// whether a button is selected, and the user's gestures on it. It only reads the kit when told to
// (sync) and emits a change signal only for what differs. It knows nothing of budgets.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QColor>
#include <QObject>
#include <QString>

namespace allot::kit {
class View;
}

namespace allot::qt {

class KitBridge;

class ViewBridge : public QObject {
  Q_OBJECT
  QML_ELEMENT
  QML_UNCREATABLE("Views come from their scene.")
  Q_PROPERTY(QString text READ text NOTIFY textChanged)
  Q_PROPERTY(QString placeholder READ placeholder NOTIFY placeholderChanged)
  Q_PROPERTY(QString title READ title NOTIFY titleChanged)
  Q_PROPERTY(QString accessibleName READ accessibleName NOTIFY accessibleNameChanged)
  Q_PROPERTY(QColor backgroundColor READ backgroundColor NOTIFY backgroundColorChanged)
  Q_PROPERTY(bool hasBackgroundColor READ hasBackgroundColor NOTIFY backgroundColorChanged)
  Q_PROPERTY(qreal contentY READ contentY NOTIFY contentYChanged)
  Q_PROPERTY(bool focused READ focused NOTIFY focusedChanged)
  Q_PROPERTY(bool selected READ selected NOTIFY selectedChanged)

 public:
  ViewBridge(KitBridge& kit, kit::View& view, QObject* parent);

  QString text() const { return text_; }
  QString placeholder() const { return placeholder_; }
  QString title() const { return title_; }
  QString accessibleName() const { return accessibleName_; }
  QColor backgroundColor() const { return backgroundColor_; }
  bool hasBackgroundColor() const { return backgroundColor_.alpha() > 0; }
  qreal contentY() const { return contentY_; }
  bool focused() const { return focused_; }
  bool selected() const { return selected_; }

  // Gestures: a tap on a button; the text of a field after a keystroke; a scroll of a text.
  Q_INVOKABLE bool tap();
  Q_INVOKABLE bool edit(const QString& text);
  Q_INVOKABLE bool scroll(qreal contentY);

  // Re-reads the view; forget() stops all reading once the view's screen is gone.
  void sync();
  void forget() { view_ = nullptr; }

 signals:
  void textChanged();
  void placeholderChanged();
  void titleChanged();
  void accessibleNameChanged();
  void backgroundColorChanged();
  void contentYChanged();
  void focusedChanged();
  void selectedChanged();

 private:
  KitBridge& kit_;
  kit::View* view_;
  QString text_;
  QString placeholder_;
  QString title_;
  QString accessibleName_;
  QColor backgroundColor_{Qt::transparent};
  qreal contentY_ = 0;
  bool focused_ = false;
  bool selected_ = false;
};

}  // namespace allot::qt

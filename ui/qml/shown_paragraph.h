// ShownParagraph: one paragraph of the About text as the layout draws it: its text, and whether it
// is the title or a heading (the title is also a heading), as the text declares them.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QString>

namespace allot {

struct ShownParagraph {
  Q_GADGET
  QML_VALUE_TYPE(shownParagraph)
  Q_PROPERTY(QString text MEMBER text)
  Q_PROPERTY(bool title MEMBER title)
  Q_PROPERTY(bool heading MEMBER heading)

 public:
  QString text;
  bool title = false;
  bool heading = false;
};

}  // namespace allot

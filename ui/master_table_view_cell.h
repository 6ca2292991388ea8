// MasterTableViewCell: the cell of one envelope on the envelope list, with a label for the name
// (on the envelope's colour) and one for the balance. The storyboard adds both labels and fills
// the outlets; the cell has no behaviour of its own.
#pragma once

#include <string>

#include "platform/kit/label.h"
#include "platform/kit/table_view_cell.h"

namespace allot {

class MasterTableViewCell : public kit::TableViewCell {
 public:
  using kit::TableViewCell::TableViewCell;

  kit::Label* envelopeNameLabel() const { return envelopeNameLabel_; }
  void setEnvelopeNameLabel(kit::Label* label) { envelopeNameLabel_ = label; }
  kit::Label* envelopeTotalLabel() const { return envelopeTotalLabel_; }
  void setEnvelopeTotalLabel(kit::Label* label) { envelopeTotalLabel_ = label; }

 private:
  kit::Label* envelopeNameLabel_ = nullptr;
  kit::Label* envelopeTotalLabel_ = nullptr;
};

}  // namespace allot

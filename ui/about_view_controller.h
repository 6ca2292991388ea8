// AboutViewController: the About screen, one read-only text laid out by the storyboard. After
// every layout of its view the text is shown from its first line again. It touches no data.
#pragma once

#include "platform/kit/text_view.h"
#include "platform/kit/view_controller.h"

namespace allot {

class AboutViewController : public kit::ViewController {
 public:
  kit::TextView* aboutText() const { return aboutText_; }
  void setAboutText(kit::TextView* textView) { aboutText_ = textView; }

  void viewDidLoad() override;
  void viewDidLayoutSubviews() override;

 private:
  kit::TextView* aboutText_ = nullptr;
};

}  // namespace allot

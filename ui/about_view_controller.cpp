#include "ui/about_view_controller.h"

namespace allot {

void AboutViewController::viewDidLoad() {
  kit::ViewController::viewDidLoad();
}

void AboutViewController::viewDidLayoutSubviews() {
  kit::ViewController::viewDidLayoutSubviews();
  aboutText_->setContentOffset({0.0, 0.0}, false);
}

}  // namespace allot

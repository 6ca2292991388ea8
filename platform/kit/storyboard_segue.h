// StoryboardSegue: one transition being performed, as the source controller sees it in
// prepareForSegue: its identifier, its kind and the two controllers. It lives only while the
// transition runs.
#pragma once

#include <optional>
#include <string>

namespace allot::kit {

class ViewController;

enum class SegueKind {
  Show,    // push the destination onto the source's navigation stack
  Modal,   // present the destination over the source
  Unwind,  // go back to a controller already on screen and call its unwind action
};

class StoryboardSegue {
 public:
  StoryboardSegue(std::optional<std::string> identifier, SegueKind kind, ViewController& source,
                  ViewController& destination)
      : identifier_(std::move(identifier)),
        kind_(kind),
        source_(source),
        destination_(destination) {}

  const std::optional<std::string>& identifier() const { return identifier_; }
  SegueKind kind() const { return kind_; }
  ViewController& sourceViewController() const { return source_; }
  ViewController& destinationViewController() const { return destination_; }

 private:
  std::optional<std::string> identifier_;
  SegueKind kind_;
  ViewController& source_;
  ViewController& destination_;
};

}  // namespace allot::kit

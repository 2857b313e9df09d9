// Stand-in for the named-picture container of the HTML controls until the HTML engine
// lands; the windows only place it and hand it to a list box.
#pragma once

#include "platform/sys/component.h"

class TPictureContainer : public TComponent {
 public:
  using TComponent::TComponent;

  std::string ClassName() const override { return "TPictureContainer"; }
};

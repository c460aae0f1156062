#include "ui-kit/LxAnimation.h"

#include <atomic>

namespace LxAnimation {

namespace {

std::atomic<bool> enabled = true;

}  // namespace

bool isEnabled() {
    return enabled.load();
}

void setEnabled(bool isEnabled) {
    enabled.store(isEnabled);
}

}  // namespace LxAnimation

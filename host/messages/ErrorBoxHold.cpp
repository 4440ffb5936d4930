#include "host/messages/ErrorBoxHold.h"

namespace {

thread_local ErrorBoxHold* innermost = nullptr;

}  // namespace

ErrorBoxHold::ErrorBoxHold() : outer(innermost) {
    innermost = this;
}

ErrorBoxHold::~ErrorBoxHold() {
    innermost = outer;
}

ErrorBoxHold* ErrorBoxHold::Innermost() {
    return innermost;
}

#pragma once

#include <stdexcept>

namespace ravelto::store {

// An error of the record store. what() is Japanese UTF-8, ready for a message box.
class StoreError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace ravelto::store

#pragma once

#include <expected>

namespace tunnelkit {

// Every fallible operation of the engine returns its error as a value.
template <class T, class E> using Result = std::expected<T, E>;

template <class E> using Failure = std::unexpected<E>;

} // namespace tunnelkit

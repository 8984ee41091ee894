#pragma once

namespace burrowlight {

// One handler per alternative of a std::variant, for std::visit.
template <class... Handlers> struct Cases : Handlers... { using Handlers::operator()...; };

} // namespace burrowlight

#include "state/report.h"

#include <algorithm>

namespace referee {

std::size_t Report::count(Message message, Side side) const {
    return static_cast<std::size_t>(
        std::count_if(events_.begin(), events_.end(), [&](const Event& e) {
            return e.what == Event::What::message && e.message == message && e.side == side;
        }));
}

std::size_t Report::count(Message message) const {
    return count(message, Side::small) + count(message, Side::big);
}

std::size_t Report::redraws() const {
    return static_cast<std::size_t>(std::count_if(events_.begin(), events_.end(),
        [](const Event& e) { return e.what == Event::What::redraw; }));
}

} // namespace referee

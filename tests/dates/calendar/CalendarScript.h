#pragma once

#include "dates/calendar/frmDateEnt.h"

#include <utility>

// While it lives, each opening of the calendar hands the window to the
// runner instead of running it modal.
struct CalendarScript {
    explicit CalendarScript(frmDateEnt::ModalRunner runner) { frmDateEnt::setModalRunner(std::move(runner)); }
    ~CalendarScript() { frmDateEnt::setModalRunner({}); }
};

#pragma once

// What every test program sets before its Qt application: no real screen, UTC,
// and en_US as the default locale, so no test depends on the machine.
void prepareTestProcess();

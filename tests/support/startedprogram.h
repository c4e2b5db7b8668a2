#pragma once

#include "app/frm_main.h"

#include <memory>

class TestDatabase;

// Writes one profile, "Teszt", leading to `db` as root, into the settings file of the current
// data folder (which it creates).
void WriteTestProfile(const TestDatabase &db);

// The program started on `db` as a clerk starts it: the profile above, the main window started
// and shown. Null when the start-up did not reach the register.
std::unique_ptr<Tfrm_Main> StartMainWindow(const TestDatabase &db);

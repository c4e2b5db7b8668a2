#pragma once

#include "app/frm_main.h"

#include <memory>

class TestDatabase;

// Writes one profile, "Teszt", leading to `db` as root, into the settings file of the current
// data folder (which it creates). A port other than 0 replaces the test server's (a relay's).
void WriteTestProfile(const TestDatabase &db, int port = 0);

// The program started on `db` as a clerk starts it: the profile above, the main window started
// and shown, the register's first rows read. Null when the start-up did not reach the register.
std::unique_ptr<Tfrm_Main> StartMainWindow(const TestDatabase &db, int port = 0);

#pragma once

class Connection;
class RegisterView;

// A line under the resolution panel's text naming the user of this program who wrote the current
// record last (its `felhkod`); empty for a record no user of ours has written.
void AttachWriterLine(RegisterView &view, Connection &con);

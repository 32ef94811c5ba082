#pragma once
// The test-only root of the TLS test servers (tests/support/tls), made once
// per build folder, among the current user's trusted roots.
#include <string>

// Adds the root to the current user's "ROOT" store (kept there if already in);
// false when the file or the store cannot be used. Under Wine this is the
// test prefix's store; on Windows the system asks the user to confirm.
bool trustTestRoot();
// The certificate folder of this run, as a build path.
std::string tlsFolder();

#pragma once

namespace engine {

// The first call of a process has the DTLS elements make the process's certificate (an RSA key:
// a few hundred milliseconds on a slow machine) and loads webrtcbin's plugins. warmUpCallMedia()
// does both once per process on a worker thread, so that a call placed later does not wait for
// them; it returns at once. Later calls do nothing.
void warmUpCallMedia();

} // namespace engine

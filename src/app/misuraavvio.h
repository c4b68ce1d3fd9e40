#pragma once

namespace varimo {

// Measuring the start-up, for the start-up benchmark only. When the
// environment holds VARIMO_MISURA_AVVIO (any value), the program ends as soon
// as its first window has been painted, after writing one line on its
// standard output:
//
//     avvio <ns> <kib>
//
// <ns> is the moment of that painting on the system's monotonic clock
// (CLOCK_MONOTONIC, nanoseconds), <kib> the peak resident memory of the
// process up to then (VmHWM, KiB). Without the variable nothing changes.
bool misuraAvvioRichiesta();

// Watches the application (which must exist) for the first painting of a
// window; then writes the line and quits the event loop. Does nothing unless
// the measurement is asked for.
void misuraAlPrimoDisegno();

}  // namespace varimo

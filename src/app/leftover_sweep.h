#ifndef SYMCONV_APP_LEFTOVER_SWEEP_H_
#define SYMCONV_APP_LEFTOVER_SWEEP_H_

#include <string>

class CPlatform;

/// Removes from the current folder (named folder, its separator included)
/// the temporaries that an earlier run left when it was killed or lost
/// power, and only those: a name exactly as the replacing file makes them
/// and content that is the start of an .SML file. A temporary that another
/// run is still writing is locked and cannot be read, so it stays; so does
/// anything that cannot be read or removed. Returns how many were removed.
int RemoveLeftoverTemporaries(CPlatform& platform, const std::string& folder);

#endif  // SYMCONV_APP_LEFTOVER_SWEEP_H_

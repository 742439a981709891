#pragma once

#include <string>

// The set-up profile kept for every run of the user, in $XDG_CACHE_HOME/quillsheet/ (else
// ~/.cache/quillsheet/): an office started on a fresh profile asks once to be started again,
// about 0.4 s of CPU and wall time, so every office starts from a copy of this one instead. One
// per office version and seeded settings, so that an upgraded office or other settings make their
// own; removing the folder costs one slow start.

// The cached profile's folder, whether or not it is there yet; empty when no cache folder can be
// named.
std::string CachedProfileFolder();

// The cached profile's folder when one is there to start from, else empty.
std::string UsableCachedProfile();

// Keeps a copy of the user/ settings of a profile just set up as the cached profile. It is made
// aside and renamed into place, so no run ever sees half of one; of runs at once, the first to
// rename wins and the others drop theirs. With replace, an existing one (that an office did not
// take as set up) gives way. Nothing happens when the cache cannot be written.
void CacheSetUpProfile(const std::string& profile, bool replace);

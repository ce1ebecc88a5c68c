// audio - the audio macro of Ritoma ("/xM" by default): a tag of a song
// ("/xM<track,2> - /xM<title>", "/xM<artist,,unknown>").
#include "AudioMacro.h"
#include "EntryPoints.h"

RITOMA_METADATA_ENTRY_POINTS(ritoma::metadata::AudioMacro)

// exif - the photo macro of Ritoma ("/xE" by default): a field of a photo's
// Exif, IPTC or XMP metadata ("/xE<date,%Y%m%d_%H%M%S>", "/xE<model,,unknown>").
#include "ExifMacro.h"
#include "EntryPoints.h"

RITOMA_METADATA_ENTRY_POINTS(ritoma::metadata::ExifMacro)

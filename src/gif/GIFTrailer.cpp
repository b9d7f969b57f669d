#include "GIFTrailer.h"

#include "GIFException.h"
#include "Stream.h"

void TGIFTrailer::SaveToStream(TStream& stream) {
    stream.WriteByte(0x3B);
}

void TGIFTrailer::LoadFromStream(TStream& stream) {
    const int b = stream.ReadByte();
    if (b >= 0 && b != 0x3B) ReportWarning(GIFText::InvalidTrailer);
}

#include "classlib/graphics/Graphic.h"

#include "classlib/core/Stream.h"
#include "classlib/core/TypInfo.h"

QUENDREL_REGISTER_CLASS(TGraphic, TPersistent) {}

void TGraphic::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed();
  else
    FModified = false;
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(&stream);
}

std::vector<uint8_t> ReadRemainingBytes(TStream* stream) {
  std::vector<uint8_t> bytes;
  if (!stream) return bytes;
  const int64_t remaining = stream->Size() - stream->Position();
  if (remaining > 0) {
    bytes.resize(static_cast<size_t>(remaining));
    bytes.resize(static_cast<size_t>(stream->Read(bytes.data(), remaining)));
  }
  return bytes;
}

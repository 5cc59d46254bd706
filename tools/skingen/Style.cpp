#include "tools/skingen/Style.h"

namespace skingen {

std::string stylePrefix(Style style) {
  switch (style) {
  case Style::MacOS:
    return "MACOS";
  case Style::WinXP:
    return "WINXP";
  case Style::DeepBlue:
    return "DEEPBLUE";
  case Style::Protein:
    return "PROTEIN";
  case Style::BlueGlass:
    return "BLUEGLASS";
  }
  return "";
}

const StyleTraits& traits(Style style) {
  // clang-format off
  static const StyleTraits mac{hex(0xE7E7E7), hex(0xE7E7E7), hex(0xC9C9C9), 4, 3, -2, 1, hex(0x7F7F7F), 0, false, true};
  static const StyleTraits xp{hex(0xEFEBDE), hex(0xEFEBDE), hex(0xF9F9F9), 5, 2, -2, 3, hex(0x002CC8), 13, false, false};
  static const StyleTraits deep{hex(0xE8E8E8), hex(0xE8E8E8), hex(0xF5F5F5), 2, 0, 0, 1, hex(0x000000), 0, false, false};
  static const StyleTraits protein{hex(0xFBFBFB), hex(0xFBFBFB), hex(0xF5F5F5), 2, 0, 0, 1, hex(0x000000), 0, true, false};
  static const StyleTraits glass{hex(0xE7E7E7), hex(0xE7E7E7), hex(0xF4F4F4), 6, 4, -3, 1, hex(0x000000), 11, true, true};
  // clang-format on
  switch (style) {
  case Style::MacOS:
    return mac;
  case Style::WinXP:
    return xp;
  case Style::DeepBlue:
    return deep;
  case Style::Protein:
    return protein;
  case Style::BlueGlass:
    return glass;
  }
  return deep;
}

namespace {

Face face(std::uint32_t border, std::uint32_t top, std::uint32_t upper, std::uint32_t lower,
          std::uint32_t bottom, std::uint32_t rim, double rimOpacity, std::uint32_t ink) {
  return {hex(border), hex(top), hex(upper), hex(lower), hex(bottom), hex(rim), rimOpacity, hex(ink)};
}

} // namespace

Face controlFace(Style style, FaceState state) {
  switch (style) {
  case Style::MacOS:
    switch (state) {
    case FaceState::Normal:
      return face(0x8C8C8C, 0xFFFFFF, 0xF6F6F6, 0xE2E2E2, 0xFAFAFA, 0xFFFFFF, 0.7, 0x3C3C3C);
    case FaceState::Hot:
      return face(0x3F72BE, 0xEEF6FF, 0xBEDCFA, 0x86BDF3, 0xCDE7FF, 0xFFFFFF, 0.6, 0x0E2A55);
    case FaceState::Down:
      return face(0x28528F, 0xB4D2F2, 0x7EAEE6, 0x4A8AD6, 0x8DC2F2, 0xD8EAFF, 0.4, 0x071A36);
    case FaceState::Disabled:
      return face(0xBCBCBC, 0xFBFBFB, 0xF4F4F4, 0xECECEC, 0xF6F6F6, 0xFFFFFF, 0.5, 0xA9A9A9);
    }
    break;
  case Style::WinXP:
    switch (state) {
    case FaceState::Normal:
      return face(0x003C74, 0xFFFFFF, 0xFAFAF8, 0xF2F1EC, 0xD8D3C6, 0xFFFFFF, 0.8, 0x1D3A7A);
    case FaceState::Hot:
      return face(0x003C74, 0xFFFFFF, 0xFBFBF9, 0xF3F2EE, 0xDCD7CB, 0xF8B33B, 1.0, 0x1D3A7A);
    case FaceState::Down:
      return face(0x003C74, 0xD1CCC1, 0xE3E1DA, 0xEAE9E3, 0xF6F5F1, 0xC9C5B9, 0.6, 0x10265A);
    case FaceState::Disabled:
      return face(0xC9C7BA, 0xF5F4EA, 0xF5F4EA, 0xF5F4EA, 0xF5F4EA, 0xF5F4EA, 0.0, 0xACA899);
    }
    break;
  case Style::DeepBlue:
    switch (state) {
    case FaceState::Normal:
      return face(0x1C2A55, 0xF7F8FB, 0xEDF0F6, 0xE4E8F1, 0xD6DCE9, 0xFFFFFF, 0.9, 0x1C2A55);
    case FaceState::Hot:
      return face(0x23408C, 0xF0F6FF, 0xDCE8FB, 0xCFDFF8, 0xBCD0F2, 0xFFFFFF, 0.9, 0x142556);
    case FaceState::Down:
      return face(0x111C40, 0xB3C3E3, 0xC2CFE9, 0xCAD6EC, 0xD6DFF0, 0x8FA2CC, 0.6, 0x0C1638);
    case FaceState::Disabled:
      return face(0xA9AFBF, 0xF1F2F5, 0xEEEFF2, 0xEBECF0, 0xE6E8EC, 0xFFFFFF, 0.5, 0xA2A8B8);
    }
    break;
  case Style::Protein:
    switch (state) {
    case FaceState::Normal:
      return face(0xA7AEB8, 0xFFFFFF, 0xFDFDFD, 0xF6F7F8, 0xEBEDF0, 0xFFFFFF, 0.9, 0x3C4450);
    case FaceState::Hot:
      return face(0xEE8A2A, 0xFFFFFF, 0xFFFBF6, 0xFFF2E3, 0xFFE6CB, 0xFFFFFF, 0.9, 0x3C4450);
    case FaceState::Down:
      return face(0xCF6C16, 0xFFD9B3, 0xFFE3C6, 0xFFEAD4, 0xFFF3E6, 0xF7C08A, 0.7, 0x3A2410);
    case FaceState::Disabled:
      return face(0xD3D6DB, 0xFCFCFC, 0xFAFAFA, 0xF7F7F7, 0xF3F4F5, 0xFFFFFF, 0.5, 0xB4B9C0);
    }
    break;
  case Style::BlueGlass:
    switch (state) {
    case FaceState::Normal:
      return face(0x5F8DC6, 0xF4F9FF, 0xE1EEFC, 0xC4DDF7, 0xE3F1FF, 0xFFFFFF, 0.75, 0x1E3F6E);
    case FaceState::Hot:
      return face(0x3C78C8, 0xEAF6FF, 0xC9E6FF, 0x97CBFA, 0xCFF0FF, 0xFFFFFF, 0.8, 0x0F2F5C);
    case FaceState::Down:
      return face(0x2B5FA6, 0xB8D8F6, 0x9BC6F0, 0x72AAE6, 0xA6D4F8, 0xDDEEFF, 0.5, 0x0A2246);
    case FaceState::Disabled:
      return face(0xA9BCD3, 0xF5F8FC, 0xEEF3F9, 0xE4ECF5, 0xEFF4FA, 0xFFFFFF, 0.5, 0x9FB0C6);
    }
    break;
  }
  return face(0, 0, 0, 0, 0, 0, 0, 0);
}

Face accentFace(Style style, FaceState state) {
  const bool off = state == FaceState::Disabled;
  switch (style) {
  case Style::MacOS:
    if (off) return face(0xA9B8CC, 0xE6EEF8, 0xD3E0F0, 0xC3D4EA, 0xD8E5F3, 0xFFFFFF, 0.4, 0xFFFFFF);
    return face(0x2A5DA6, 0xD4E8FD, 0x8FC3F5, 0x3A89E4, 0x9FD2FB, 0xFFFFFF, 0.5, 0xFFFFFF);
  case Style::WinXP:
    if (off) return face(0xA9C7A9, 0xD8EED8, 0xC3E3C3, 0xB3DAB3, 0xC8E6C8, 0xFFFFFF, 0.3, 0xFFFFFF);
    return face(0x1E7E1E, 0xB8F0AE, 0x6CD35E, 0x35B22A, 0x5ACB4C, 0xE6FFE0, 0.5, 0xFFFFFF);
  case Style::DeepBlue:
    if (off) return face(0x9BA5BE, 0xC7CFE0, 0xBCC5D9, 0xB3BDD3, 0xAAB4CC, 0xFFFFFF, 0.2, 0xF2F4F8);
    return face(0x101B3E, 0x4F68AE, 0x3A5498, 0x2E4686, 0x263B74, 0x7D93CC, 0.6, 0xFFFFFF);
  case Style::Protein:
    if (off) return face(0xE2BE9B, 0xFCE3CA, 0xF8D6B6, 0xF4CBA5, 0xF2C59C, 0xFFFFFF, 0.3, 0xFFFFFF);
    return face(0xC9630F, 0xFFC27A, 0xFFA447, 0xF5861F, 0xF99B3E, 0xFFE2BF, 0.6, 0xFFFFFF);
  case Style::BlueGlass:
    if (off) return face(0x9DB5D3, 0xE2EEFA, 0xCFE1F4, 0xBCD4EE, 0xCFE2F5, 0xFFFFFF, 0.3, 0xFFFFFF);
    return face(0x1F58A8, 0xBFE0FF, 0x7DB8F2, 0x2F7AD8, 0x63B0F6, 0xFFFFFF, 0.55, 0xFFFFFF);
  }
  return face(0, 0, 0, 0, 0, 0, 0, 0);
}

} // namespace skingen

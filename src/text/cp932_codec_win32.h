// Code page 932 conversion through Windows' own tables.
#pragma once

#include "text/exact_cp932.h"

namespace pikora {

class WinCp932Codec : public Cp932Codec {
  public:
    std::string Encode(std::u16string_view text) const override;
    std::u16string Decode(std::string_view bytes) const override;
};

}  // namespace pikora

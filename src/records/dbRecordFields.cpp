#include "records/dbRecordFields.h"

#include <cstring>

#include "foundation/text/utf8.h"

void dbfield_PutFixedText(WriteBuffer& buffer, const Str& text, int n) {
    const char* data = text.Data();
    const int length = static_cast<int>(std::strlen(data));
    if (length <= n || !utf8_IsValid(data, length)) {
        buffer.PutFixedString(data, n, 0);
        return;
    }
    int cut = 0;
    for (;;) {
        const int step = utf8_SequenceLength(data + cut, length - cut);
        if (cut + step > n) break;
        cut += step;
    }
    buffer.PutBytes(data, cut);
    for (int i = cut; i < n; ++i) buffer.PutUInt8(0);
}

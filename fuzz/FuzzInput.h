#pragma once
// A fuzz input taken apart into the values a target needs, the way libFuzzer's data provider
// does it (bytes and strings from the front, integers from the back, little byte order from
// the end), so that a corpus means the same under libFuzzer and in the plain replay of the
// ordinary test run, which is built without clang.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

class TFuzzInput {
public:
    TFuzzInput(const uint8_t* data, size_t size) : Data(data), Remaining(size) {}

    size_t RemainingBytes() const { return Remaining; }

    // An integer in [min, max] from as many bytes at the end as the range needs; 0 past the end.
    template <typename T>
    T ConsumeIntegralInRange(T min, T max)
    {
        static_assert(std::is_integral_v<T> && sizeof(T) <= sizeof(uint64_t));
        if (min > max)
            std::abort();
        const uint64_t range = uint64_t(max) - uint64_t(min);
        uint64_t result = 0;
        for (size_t bits = 0; bits < sizeof(T) * CHAR_BIT && (range >> bits) > 0 && Remaining != 0; bits += CHAR_BIT)
            result = (result << CHAR_BIT) | Data[--Remaining];
        if (range != std::numeric_limits<uint64_t>::max())
            result %= range + 1;
        return T(uint64_t(min) + result);
    }

    template <typename T>
    T ConsumeIntegral()
    {
        return ConsumeIntegralInRange(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    }

    bool ConsumeBool() { return (ConsumeIntegral<uint8_t>() & 1) != 0; }

    // Up to `count` bytes from the front.
    template <typename T>
    std::vector<T> ConsumeBytes(size_t count)
    {
        static_assert(sizeof(T) == 1);
        count = std::min(count, Remaining);
        std::vector<T> bytes(count);
        if (count != 0)
            std::memcpy(bytes.data(), Data, count);
        Advance(count);
        return bytes;
    }

    // Characters from the front up to `maxLength`, or to a backslash followed by anything but a
    // backslash (which ends the string); a doubled backslash is one backslash.
    std::string ConsumeRandomLengthString(size_t maxLength)
    {
        std::string text;
        for (size_t i = 0; i < maxLength && Remaining != 0; ++i) {
            char next = char(Data[0]);
            Advance(1);
            if (next == '\\' && Remaining != 0) {
                next = char(Data[0]);
                Advance(1);
                if (next != '\\')
                    break;
            }
            text += next;
        }
        return text;
    }

    std::string ConsumeRemainingBytesAsString()
    {
        std::string rest(reinterpret_cast<const char*>(Data), Remaining);
        Advance(Remaining);
        return rest;
    }

private:
    const uint8_t* Data;
    size_t Remaining;

    void Advance(size_t count)
    {
        Data += count;
        Remaining -= count;
    }
};

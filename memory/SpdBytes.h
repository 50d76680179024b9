// What every SPD decoder here reads its bytes with: a bounded view of an image, the JEDEC CRC-16 of its sections,
// BCD dates and the JEP106 maker names of its identity bytes. Portable: bytes in, values out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The JEDEC CRC-16 of SPD sections: polynomial 0x1021, initial value 0, bits taken most significant first.
std::uint16_t SpdCrc16(const std::uint8_t* data, std::size_t size);

class SpdBytes {
public:
    explicit SpdBytes(std::span<const std::uint8_t> image) : m_image(image) {}
    // A byte beyond the image reads as zero, so a decoder never reads past what it was given.
    unsigned operator[](std::size_t offset) const { return offset < m_image.size() ? m_image[offset] : 0u; }
    int Signed(std::size_t offset) const { return static_cast<std::int8_t>((*this)[offset]); }
    // Two bytes, the low one first: how SPD stores its 16-bit values and checksums.
    unsigned LittleEndian16(std::size_t offset) const { return (*this)[offset] | ((*this)[offset + 1] << 8); }
    // Whether the CRC-16 of `length` bytes from `from` matches the one stored at `storedAt`.
    bool CrcMatches(std::size_t from, std::size_t length, std::size_t storedAt) const {
        return from + length <= m_image.size() && SpdCrc16(m_image.data() + from, length) == LittleEndian16(storedAt);
    }
    std::uint16_t Crc(std::size_t from, std::size_t length) const {
        return from + length <= m_image.size() ? SpdCrc16(m_image.data() + from, length) : 0;
    }
    std::size_t size() const { return m_image.size(); }

private:
    std::span<const std::uint8_t> m_image;
};

// Two BCD digits, or nothing when a nibble is not a decimal digit.
std::optional<int> SpdBcd(unsigned byte);

// JEDEC's JEP106 list, generated at build time from memory/jep106.tsv (tools/gen_jep106.py): the name of the
// maker with a code byte (odd parity bit 7 included) in a bank (1 + its continuation codes), or empty where the
// list has none or the code's parity is even.
std::string_view Jep106Name(int bank, unsigned code);
extern const std::size_t kJep106NameCount;

// A maker from its JEP106 code pair (continuation count and ID, each with its odd parity bit in bit 7): its name,
// "Undefined" for two blank bytes (0x00 or 0xFF), "Unknown? (Invalid parity)" for a byte of even parity, else the bank
// and code.
std::string Jep106MakerName(unsigned continuation, unsigned code);

// JEDEC reference raw card letters by their 5-bit code; code 31 means no JEDEC card.
extern const std::array<std::string_view, 32> kSpdRawCards;

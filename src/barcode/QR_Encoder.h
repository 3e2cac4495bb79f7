#pragma once
// QR Code symbols of ISO/IEC 18004: versions 1 to 40, error-correction levels L, M, Q and H,
// the eight data masks. The encoder splits the bytes into the numeric, alphanumeric, 8-bit
// byte and (optionally) Kanji segments of the shortest bit stream, picks the version, adds
// terminator and padding, computes the Reed-Solomon codewords of every block, interleaves
// them, lays out the function patterns and the codewords, and picks the mask with the
// lowest penalty.
//
// One object serves one encoding. After EncodeData() answered true, m_nSymbleSize holds the
// modules per side and m_byModuleData[x][y] (x column from the left, y row from the top)
// holds 1 for a dark module and 0 for a light one.

#include <cstdint>
#include <vector>

class QR_Encoder {
 public:
  static constexpr int MAX_MODULESIZE = 177;
  static constexpr int MAX_DATACODEWORD = 2956;
  static constexpr int MAX_ALLCODEWORD = 3706;
  static constexpr int MAX_DATA_BITS = MAX_DATACODEWORD * 8;  // 23,648
  // No symbol holds more input bytes than this (7089 digits at version 40-L).
  static constexpr int MAX_SOURCE_BYTES = 7089;

  // Mode codes.
  static constexpr int MODE_NUMERAL = 0;
  static constexpr int MODE_ALPHABET = 1;
  static constexpr int MODE_8BIT = 2;
  static constexpr int MODE_KANJI = 3;

  QR_Encoder();

  // The whole encoding. level 0..3 (L, M, Q, H); version 0 (automatic) or 1..40; mask -1
  // (automatic) or 0..7; a length below 1 means the bytes up to the first zero byte.
  // A requested version smaller than the data needs is raised only with auto_extent.
  bool EncodeData(int nLevel, int nVersion, bool bAutoExtent, int nMaskingNo,
                  const unsigned char* lpsSource, int ncSource);

  // The version that holds the data (the requested one's group first), 0 when none does.
  int GetEncodeVersion(int nVersion, const unsigned char* lpsSource, int ncLength);
  // Classifies every position; 2 at the first one whose class differs from byte_mode,
  // otherwise the class of the last position (0 for no input).
  int Get_Encoding_Mode_Test(const unsigned char* lpsSource, int ncLength, int byte_mode) const;
  // One mode for the whole input: 8-bit when any byte needs it, else Kanji, alphanumeric,
  // numeric; 8-bit for no input.
  int Get_Encoding_Mode(const unsigned char* lpsSource, int ncLength) const;
  // Segments and data bit stream for one version group (0: versions 1-9, 1: 10-26,
  // 2: 27-40): the segmentation of fewest bits, so the stream is never longer than the
  // input in any one mode. False when the stream does not fit the group's largest version.
  bool EncodeSourceData(const unsigned char* lpsSource, int ncLength, int nVerGroup);
  // Bits that a segment of the mode and length takes in the stream of the group.
  static int GetBitLength(int nMode, int ncData, int nVerGroup);
  // Appends the low ncData bits of wData at bit nIndex; the new position, or -1 when the
  // position is -1 or the stream would pass MAX_DATA_BITS.
  int SetBitStream(int nIndex, std::uint16_t wData, int ncData);

  // Bits of the ECI header (mode indicator 0111 and the designator of 1, 2 or 3 bytes) that
  // opens the stream for an assignment number; 0 for none (below 0) or one out of range.
  static int EciHeaderBits(int eci);

  static bool IsNumeralData(unsigned char c);
  static bool IsAlphabetData(unsigned char c);
  static bool IsKanjiData(unsigned char c1, unsigned char c2);
  static unsigned char AlphabetToBinaly(unsigned char c);
  static std::uint16_t KanjiToBinaly(std::uint16_t wc);

  // Replaces the first ncRSCodeWord bytes of the work area with the error-correction
  // codewords of the ncDataCodeWord data codewords at its start.
  static void GetRSCodeWord(unsigned char* lpbyRSWork, int ncDataCodeWord, int ncRSCodeWord);

  void FormatModule();
  void SetFunctionModule();
  void SetFinderPattern(int x, int y);
  void SetAlignmentPattern(int x, int y);
  void SetVersionPattern();
  void SetCodeWordPattern();
  void SetMaskingPattern(int nPatternNo);
  void SetFormatInfoPattern(int nPatternNo);
  int CountPenalty() const;

  // Version table (ISO/IEC 18004): total and data codewords, error-correction blocks and
  // alignment pattern centres.
  struct RS_Block {
    int ncRSBlock = 0;       // number of blocks of this kind
    int ncAllCodeWord = 0;   // codewords per block
    int ncDataCodeWord = 0;  // data codewords per block
  };
  struct Version_Info {
    int nVersionNo = 0;
    int ncAllCodeWord = 0;
    int ncDataCodeWord[4] = {};  // L, M, Q, H
    int ncAlignPoint = 0;        // centres besides 6
    int nAlignPoint[6] = {};
    RS_Block RS_BlockInfo1[4];  // first kind of block, by level
    RS_Block RS_BlockInfo2[4];  // second kind (one data codeword more), by level
  };
  static const Version_Info& VersionInfo(int version);  // 1..40
  // Data capacity in bits of a version (1..40) at a level (0..3).
  static int DataBitSize(int version, int level);

  // Byte pairs in the Shift JIS double-byte ranges go into Kanji mode. Callers that hand
  // over UTF-8 text switch this off: its multi-byte sequences fall into the same ranges.
  bool m_bKanjiMode = true;
  // The ECI assignment number that opens the stream and tells readers how the bytes are
  // encoded (26: UTF-8), or -1 for none: readers then take the ISO/IEC 8859-1 default.
  int m_nEci = -1;

  int m_nLevel = 0;
  int m_nVersion = 0;
  int m_nVersion_pass = 0;
  bool m_bAutoExtent = false;
  int m_nMaskingNo = 0;
  int m_nSymbleSize = 0;
  unsigned char m_byModuleData[MAX_MODULESIZE][MAX_MODULESIZE];

  int m_ncDataCodeWordBit = 0;
  unsigned char m_byDataCodeWord[MAX_DATACODEWORD];

  // Segments: mode and length in input bytes (a Kanji character counts 2). The table grows
  // with the input.
  int m_ncDataBlock = 0;
  std::vector<unsigned char> m_byBlockMode;
  std::vector<int> m_nBlockLength;

  int m_ncAllCodeWord = 0;
  unsigned char m_byAllCodeWord[MAX_ALLCODEWORD];
};

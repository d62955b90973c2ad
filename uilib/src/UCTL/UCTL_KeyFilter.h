// Key filters decide which characters may be typed or pasted into an edit text. The base filter
// lets everything through; the character-class filters below let through one class each.
#pragma once

class UCTL_KeyFilter {
public:
  UCTL_KeyFilter() = default;
  virtual ~UCTL_KeyFilter() = default;
  UCTL_KeyFilter(UCTL_KeyFilter const&) = delete;
  UCTL_KeyFilter& operator=(UCTL_KeyFilter const&) = delete;

  virtual bool IsKeyAllowed(unsigned short ch) const;
  virtual bool IsTextAllowed(unsigned short const* text, unsigned long count) const;
  // Keeps, in order and in place, the characters IsKeyAllowed lets through and sets count to
  // their number. True when any character was removed.
  virtual bool FilterKeys(unsigned short* text, unsigned long& count);
};

// Character classes, each as a key test and a text test. The empty text passes every text test.
bool UCTL_IsPrintableKey(unsigned short ch);
bool UCTL_IsPrintableText(unsigned short const* text, unsigned long count);
bool UCTL_IsDigitKey(unsigned short ch);
bool UCTL_IsDigitText(unsigned short const* text, unsigned long count);
// A sign may be typed anywhere; the text must have it in front.
bool UCTL_IsSignedIntegerKey(unsigned short ch);
bool UCTL_IsSignedIntegerText(unsigned short const* text, unsigned long count);
// '.' or ',' separates the fraction: one '.', or one ',', never both.
bool UCTL_IsRealKey(unsigned short ch);
bool UCTL_IsRealText(unsigned short const* text, unsigned long count);
bool UCTL_IsSignedRealKey(unsigned short ch);
bool UCTL_IsSignedRealText(unsigned short const* text, unsigned long count);
// No control character and none of the characters file systems reserve: " * / : < > ? \ |
bool UCTL_IsFileNameKey(unsigned short ch);
bool UCTL_IsFileNameText(unsigned short const* text, unsigned long count);

// A filter made of one character class's key and text tests.
class UCTL_CharacterClassKeyFilter : public UCTL_KeyFilter {
public:
  using KeyTest = bool (*)(unsigned short ch);
  using TextTest = bool (*)(unsigned short const* text, unsigned long count);

  UCTL_CharacterClassKeyFilter(KeyTest keyTest, TextTest textTest)
      : m_KeyTest(keyTest),
        m_TextTest(textTest) {}

  bool IsKeyAllowed(unsigned short ch) const override { return m_KeyTest(ch); }
  bool IsTextAllowed(unsigned short const* text, unsigned long count) const override {
    return m_TextTest(text, count);
  }

private:
  KeyTest m_KeyTest;
  TextTest m_TextTest;
};

class UCTL_PrintableKeyFilter : public UCTL_CharacterClassKeyFilter {
public:
  UCTL_PrintableKeyFilter()
      : UCTL_CharacterClassKeyFilter(UCTL_IsPrintableKey, UCTL_IsPrintableText) {}
};

class UCTL_DigitKeyFilter : public UCTL_CharacterClassKeyFilter {
public:
  UCTL_DigitKeyFilter() : UCTL_CharacterClassKeyFilter(UCTL_IsDigitKey, UCTL_IsDigitText) {}
};

class UCTL_SignedIntegerKeyFilter : public UCTL_CharacterClassKeyFilter {
public:
  UCTL_SignedIntegerKeyFilter()
      : UCTL_CharacterClassKeyFilter(UCTL_IsSignedIntegerKey, UCTL_IsSignedIntegerText) {}
};

class UCTL_RealKeyFilter : public UCTL_CharacterClassKeyFilter {
public:
  UCTL_RealKeyFilter() : UCTL_CharacterClassKeyFilter(UCTL_IsRealKey, UCTL_IsRealText) {}
};

class UCTL_SignedRealKeyFilter : public UCTL_CharacterClassKeyFilter {
public:
  UCTL_SignedRealKeyFilter()
      : UCTL_CharacterClassKeyFilter(UCTL_IsSignedRealKey, UCTL_IsSignedRealText) {}
};

class UCTL_FileNameKeyFilter : public UCTL_CharacterClassKeyFilter {
public:
  UCTL_FileNameKeyFilter()
      : UCTL_CharacterClassKeyFilter(UCTL_IsFileNameKey, UCTL_IsFileNameText) {}
};

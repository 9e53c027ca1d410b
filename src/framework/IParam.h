#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace oskel {

// One automatable value of the plug-in: range, default, step, the mapping to and from the
// normalised range 0..1 that hosts and editors use, and its display text.
//
// Everything but the value is fixed once the plug-in's constructor has initialised the
// parameter. The value is one atomic 64-bit word, written whole by the audio thread (host
// automation) and by the main thread (editor, controller calls); the last writer wins.
class IParam {
 public:
  enum EParamType : int32_t { kTypeNone = 0, kTypeBool, kTypeInt, kTypeEnum, kTypeDouble };
  enum EFlags : int32_t {
    kNoFlags = 0,
    kFlagCannotAutomate = 1,
    kFlagStepped = 2,
    kFlagNegateDisplay = 4,
    kFlagSignDisplay = 8,
  };
  static constexpr int kUnitCustom = 21;  // unit code of enumerations and booleans
  static constexpr size_t kMaxTextLen = 32;  // name, label, group and display-text fields

  // The plain/normalised mapping. Implementations do not clamp; the callers do.
  class Shape {
   public:
    virtual ~Shape() = default;
    virtual Shape* Clone() const = 0;
    virtual void Init(const IParam&) {}
    virtual int GetDisplayType() const = 0;
    virtual double FromNormalized(double normalized, const IParam& param) const = 0;
    virtual double ToNormalized(double plain, const IParam& param) const = 0;
  };

  class ShapeLinear : public Shape {
   public:
    Shape* Clone() const override { return new ShapeLinear(*this); }
    int GetDisplayType() const override { return 0; }
    double FromNormalized(double normalized, const IParam& param) const override;
    double ToNormalized(double plain, const IParam& param) const override;
  };

  using DisplayFunc = std::function<void(double value, std::string& text)>;

  IParam();
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", int flags = kNoFlags, const char* group = "",
                  const Shape& shape = ShapeLinear(), int unit = kUnitCustom,
                  DisplayFunc displayFunc = nullptr);
  // texts: empty, or exactly `count` display texts for the values 0..count-1.
  void InitEnum(const char* name, int defaultVal, int count, const char* label = "",
                int flags = kNoFlags, const char* group = "",
                const std::vector<const char*>& texts = {});
  void InitBool(const char* name, bool defaultVal, const char* label = "", int flags = kNoFlags,
                const char* group = "", const char* offText = "off", const char* onText = "on");
  void SetDisplayText(double value, const char* text);

  // Rounds a stepped value to its step (halves away from zero), then clamps into [min, max].
  double Constrain(double value) const;
  // Shape mapping of the constrained value, clamped to [0, 1].
  double ToNormalized(double plain) const;
  // Constrained plain value of the shape's mapping; the argument itself is not clamped.
  double FromNormalized(double normalized) const;

  void Set(double plain) { mValue.store(plain, std::memory_order_relaxed); }
  void SetNormalized(double normalized) { Set(FromNormalized(normalized)); }
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  double GetNormalized() const { return ToNormalized(Value()); }

  // Display text of `value` (plain, or normalised when `normalized` is true).
  std::string GetDisplay(double value, bool normalized, bool withDisplayTexts = true) const;
  std::string GetDisplay(bool withDisplayTexts = true) const { return GetDisplay(Value(), false, withDisplayTexts); }
  double StringToValue(const char* text) const;
  // The same, but false (and `value` untouched) when the text is neither one of the display
  // texts nor begins with a finite number: such text names no value at all.
  bool StringToValue(const char* text, double& value) const;
  // Empty while the current value shows a display text, otherwise the label.
  std::string GetLabel() const;

  EParamType Type() const { return mType; }
  int Unit() const { return mUnit; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetRange() const { return mMax - mMin; }
  double GetStep() const { return mStep; }
  double GetDefault() const { return mDefault; }
  double GetDefaultNormalized() const { return ToNormalized(mDefault); }
  int GetDisplayPrecision() const { return mDisplayPrecision; }
  int GetFlags() const { return mFlags; }
  bool GetCanAutomate() const { return !(mFlags & kFlagCannotAutomate); }
  bool GetStepped() const { return (mFlags & kFlagStepped) != 0; }
  const char* GetName() const { return mName.c_str(); }
  const char* GetGroup() const { return mGroup.c_str(); }
  const char* GetLabelText() const { return mLabel.c_str(); }
  const Shape& GetShape() const { return *mShape; }
  int NDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  const char* GetDisplayText(double value) const;  // nullptr when no entry has this value

 private:
  struct DisplayText {
    double value;
    std::string text;
  };

  EParamType mType = kTypeNone;
  int mUnit = kUnitCustom;
  std::atomic<double> mValue{0.0};
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  int mFlags = kNoFlags;
  std::string mName;
  std::string mLabel;
  std::string mGroup;
  std::unique_ptr<Shape> mShape;
  std::vector<DisplayText> mDisplayTexts;
  DisplayFunc mDisplayFunc;
};

}  // namespace oskel

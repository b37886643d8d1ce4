// The few UI Automation client interfaces the caret search calls. MinGW's
// headers do not declare them; the slots before each method we call are
// listed by name so that the vtable layout matches the system's.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace uia {

// A vtable slot the program never calls.
#define PIKORA_UIA_SLOT(name) virtual HRESULT STDMETHODCALLTYPE name() = 0

constexpr CLSID kClsidAutomation8 = {
    0xe22ad333, 0xb25f, 0x460c, {0x83, 0xd0, 0x05, 0x81, 0x10, 0x73, 0x95, 0xc9}};
constexpr IID kIidAutomation2 = {
    0x34723aff, 0x0c9d, 0x49d0, {0x98, 0x96, 0x7a, 0xb5, 0x2d, 0xf8, 0xcd, 0x8a}};
constexpr IID kIidTextPattern = {
    0x32eba289, 0x3583, 0x42c9, {0x9c, 0x59, 0x3b, 0x6d, 0x9a, 0x1e, 0x9b, 0x6a}};
constexpr IID kIidTextPattern2 = {
    0x506a921a, 0xfcc9, 0x409f, {0xb2, 0x3b, 0x37, 0xeb, 0x74, 0x10, 0x68, 0x72}};

constexpr int kTextPatternId = 10014;
constexpr int kTextPattern2Id = 10024;
constexpr int kTextUnitCharacter = 0;

struct ITextRange : IUnknown {
    PIKORA_UIA_SLOT(Clone);
    PIKORA_UIA_SLOT(Compare);
    PIKORA_UIA_SLOT(CompareEndpoints);
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) = 0;
    PIKORA_UIA_SLOT(FindAttribute);
    PIKORA_UIA_SLOT(FindText);
    PIKORA_UIA_SLOT(GetAttributeValue);
    // Left, top, width, height of each line's part, in doubles.
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** rects) = 0;
};

struct ITextRangeArray : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE get_Length(int* length) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetElement(int index, ITextRange** range) = 0;
};

struct ITextPattern : IUnknown {
    PIKORA_UIA_SLOT(RangeFromPoint);
    PIKORA_UIA_SLOT(RangeFromChild);
    virtual HRESULT STDMETHODCALLTYPE GetSelection(ITextRangeArray** ranges) = 0;
    PIKORA_UIA_SLOT(GetVisibleRanges);
    PIKORA_UIA_SLOT(get_DocumentRange);
    PIKORA_UIA_SLOT(get_SupportedTextSelection);
};

struct ITextPattern2 : ITextPattern {
    PIKORA_UIA_SLOT(RangeFromAnnotation);
    virtual HRESULT STDMETHODCALLTYPE GetCaretRange(BOOL* isActive, ITextRange** range) = 0;
};

struct IElement : IUnknown {
    PIKORA_UIA_SLOT(SetFocus);
    PIKORA_UIA_SLOT(GetRuntimeId);
    PIKORA_UIA_SLOT(FindFirst);
    PIKORA_UIA_SLOT(FindAll);
    PIKORA_UIA_SLOT(FindFirstBuildCache);
    PIKORA_UIA_SLOT(FindAllBuildCache);
    PIKORA_UIA_SLOT(BuildUpdatedCache);
    PIKORA_UIA_SLOT(GetCurrentPropertyValue);
    PIKORA_UIA_SLOT(GetCurrentPropertyValueEx);
    PIKORA_UIA_SLOT(GetCachedPropertyValue);
    PIKORA_UIA_SLOT(GetCachedPropertyValueEx);
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPatternAs(int patternId, REFIID riid,
                                                          void** pattern) = 0;
};

struct IAutomation : IUnknown {
    PIKORA_UIA_SLOT(CompareElements);
    PIKORA_UIA_SLOT(CompareRuntimeIds);
    PIKORA_UIA_SLOT(GetRootElement);
    PIKORA_UIA_SLOT(ElementFromHandle);
    PIKORA_UIA_SLOT(ElementFromPoint);
    virtual HRESULT STDMETHODCALLTYPE GetFocusedElement(IElement** element) = 0;
    PIKORA_UIA_SLOT(GetRootElementBuildCache);
    PIKORA_UIA_SLOT(ElementFromHandleBuildCache);
    PIKORA_UIA_SLOT(ElementFromPointBuildCache);
    PIKORA_UIA_SLOT(GetFocusedElementBuildCache);
    PIKORA_UIA_SLOT(CreateTreeWalker);
    PIKORA_UIA_SLOT(get_ControlViewWalker);
    PIKORA_UIA_SLOT(get_ContentViewWalker);
    PIKORA_UIA_SLOT(get_RawViewWalker);
    PIKORA_UIA_SLOT(get_RawViewCondition);
    PIKORA_UIA_SLOT(get_ControlViewCondition);
    PIKORA_UIA_SLOT(get_ContentViewCondition);
    PIKORA_UIA_SLOT(CreateCacheRequest);
    PIKORA_UIA_SLOT(CreateTrueCondition);
    PIKORA_UIA_SLOT(CreateFalseCondition);
    PIKORA_UIA_SLOT(CreatePropertyCondition);
    PIKORA_UIA_SLOT(CreatePropertyConditionEx);
    PIKORA_UIA_SLOT(CreateAndCondition);
    PIKORA_UIA_SLOT(CreateAndConditionFromArray);
    PIKORA_UIA_SLOT(CreateAndConditionFromNativeArray);
    PIKORA_UIA_SLOT(CreateOrCondition);
    PIKORA_UIA_SLOT(CreateOrConditionFromArray);
    PIKORA_UIA_SLOT(CreateOrConditionFromNativeArray);
    PIKORA_UIA_SLOT(CreateNotCondition);
    PIKORA_UIA_SLOT(AddAutomationEventHandler);
    PIKORA_UIA_SLOT(RemoveAutomationEventHandler);
    PIKORA_UIA_SLOT(AddPropertyChangedEventHandlerNativeArray);
    PIKORA_UIA_SLOT(AddPropertyChangedEventHandler);
    PIKORA_UIA_SLOT(RemovePropertyChangedEventHandler);
    PIKORA_UIA_SLOT(AddStructureChangedEventHandler);
    PIKORA_UIA_SLOT(RemoveStructureChangedEventHandler);
    PIKORA_UIA_SLOT(AddFocusChangedEventHandler);
    PIKORA_UIA_SLOT(RemoveFocusChangedEventHandler);
    PIKORA_UIA_SLOT(RemoveAllEventHandlers);
    PIKORA_UIA_SLOT(IntNativeArrayToSafeArray);
    PIKORA_UIA_SLOT(IntSafeArrayToNativeArray);
    PIKORA_UIA_SLOT(RectToVariant);
    PIKORA_UIA_SLOT(VariantToRect);
    PIKORA_UIA_SLOT(SafeArrayToRectNativeArray);
    PIKORA_UIA_SLOT(CreateProxyFactoryEntry);
    PIKORA_UIA_SLOT(get_ProxyFactoryMapping);
    PIKORA_UIA_SLOT(GetPropertyProgrammaticName);
    PIKORA_UIA_SLOT(GetPatternProgrammaticName);
    PIKORA_UIA_SLOT(PollForPotentialSupportedPatterns);
    PIKORA_UIA_SLOT(PollForPotentialSupportedProperties);
    PIKORA_UIA_SLOT(CheckNotSupported);
    PIKORA_UIA_SLOT(get_ReservedNotSupportedValue);
    PIKORA_UIA_SLOT(get_ReservedMixedAttributeValue);
    PIKORA_UIA_SLOT(ElementFromIAccessible);
    PIKORA_UIA_SLOT(ElementFromIAccessibleBuildCache);
};

// Windows 8 and later: the timeouts that keep a slow program from holding
// the caller up.
struct IAutomation2 : IAutomation {
    PIKORA_UIA_SLOT(get_AutoSetFocus);
    PIKORA_UIA_SLOT(put_AutoSetFocus);
    PIKORA_UIA_SLOT(get_ConnectionTimeout);
    virtual HRESULT STDMETHODCALLTYPE put_ConnectionTimeout(DWORD ms) = 0;
    PIKORA_UIA_SLOT(get_TransactionTimeout);
    virtual HRESULT STDMETHODCALLTYPE put_TransactionTimeout(DWORD ms) = 0;
};

#undef PIKORA_UIA_SLOT

}  // namespace uia

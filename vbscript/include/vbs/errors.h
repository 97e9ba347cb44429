#pragma once
// Every run-time and compile error the engine, its library and its hosts
// raise: each named once, beside its number and its English text, and the
// one way to raise them.
#include <span>
#include <string>
#include <utility>

namespace vbs {

// The language's run-time errors (Err.Raise of one of these numbers gives
// its text), ascending.
#define VBS_RUNTIME_ERRORS(E)                                                                          \
  E(kErrInvalidCall, 5, "Invalid procedure call or argument")                                         \
  E(kErrOverflow, 6, "Overflow")                                                                      \
  E(kErrOutOfMemory, 7, "Out of memory")                                                              \
  E(kErrSubscriptOutOfRange, 9, "Subscript out of range")                                             \
  E(kErrArrayLocked, 10, "This array is fixed or temporarily locked")                                 \
  E(kErrDivisionByZero, 11, "Division by zero")                                                       \
  E(kErrTypeMismatch, 13, "Type mismatch")                                                            \
  E(kErrOutOfStringSpace, 14, "Out of string space")                                                  \
  E(kErrCannotPerform, 17, "Can't perform requested operation")                                       \
  E(kErrOutOfStack, 28, "Out of stack space")                                                         \
  E(kErrProcedureNotDefined, 35, "Sub or Function not defined")                                       \
  E(kErrDllLoad, 48, "Error in loading DLL")                                                          \
  E(kErrInternal, 51, "Internal error")                                                               \
  E(kErrBadFileName, 52, "Bad file name or number")                                                   \
  E(kErrFileNotFound, 53, "File not found")                                                           \
  E(kErrBadFileMode, 54, "Bad file mode")                                                             \
  E(kErrFileAlreadyOpen, 55, "File already open")                                                     \
  E(kErrDeviceIo, 57, "Device I/O error")                                                             \
  E(kErrFileExists, 58, "File already exists")                                                        \
  E(kErrDiskFull, 61, "Disk full")                                                                    \
  E(kErrPastEndOfFile, 62, "Input past end of file")                                                  \
  E(kErrTooManyFiles, 67, "Too many files")                                                           \
  E(kErrDeviceUnavailable, 68, "Device unavailable")                                                  \
  E(kErrPermissionDenied, 70, "Permission denied")                                                    \
  E(kErrDiskNotReady, 71, "Disk not ready")                                                           \
  E(kErrRenameAcrossDrives, 74, "Can't rename with different drive")                                  \
  E(kErrPathFileAccess, 75, "Path/File access error")                                                 \
  E(kErrPathNotFound, 76, "Path not found")                                                           \
  E(kErrObjectNotSet, 91, "Object variable not set")                                                  \
  E(kErrForNotInitialized, 92, "For loop not initialized")                                            \
  E(kErrInvalidNull, 94, "Invalid use of Null")                                                       \
  E(kErrTempFile, 322, "Can't create necessary temporary file")                                       \
  E(kErrObjectRequired, 424, "Object required")                                                       \
  E(kErrCannotCreateObject, 429, "ActiveX component can't create object")                             \
  E(kErrNoAutomation, 430, "Class doesn't support Automation")                                        \
  E(kErrAutomationName, 432, "File name or class name not found during Automation operation")         \
  E(kErrNoSuchMember, 438, "Object doesn't support this property or method")                          \
  E(kErrAutomation, 440, "Automation error")                                                          \
  E(kErrActionNotSupported, 445, "Object doesn't support this action")                                \
  E(kErrNoNamedArgs, 446, "Object doesn't support named arguments")                                   \
  E(kErrLocaleNotSupported, 447, "Object doesn't support current locale setting")                     \
  E(kErrNamedArgNotFound, 448, "Named argument not found")                                            \
  E(kErrArgNotOptional, 449, "Argument not optional")                                                 \
  E(kErrWrongArgCount, 450, "Wrong number of arguments or invalid property assignment")               \
  E(kErrNotCollection, 451, "Object not a collection")                                                \
  E(kErrDllFunctionNotFound, 453, "Specified DLL function not found")                                 \
  E(kErrResourceLock, 455, "Code resource lock error")                                                \
  E(kErrDuplicateKey, 457, "This key is already associated with an element of this collection")      \
  E(kErrAutomationType, 458, "Variable uses an Automation type not supported in VBScript")            \
  E(kErrServerUnavailable, 462, "The remote server machine does not exist or is unavailable")         \
  E(kErrInvalidPicture, 481, "Invalid picture")                                                       \
  E(kErrUndefinedVariable, 500, "Variable is undefined")                                              \
  E(kErrIllegalAssignment, 501, "Illegal assignment")                                                 \
  E(kErrNotSafeForScripting, 502, "Object not safe for scripting")                                    \
  E(kErrNotSafeForInitializing, 503, "Object not safe for initializing")                              \
  E(kErrNotSafeForCreating, 504, "Object not safe for creating")                                      \
  E(kErrInvalidReference, 505, "Invalid or unqualified reference")                                    \
  E(kErrClassNotDefined, 506, "Class not defined")                                                    \
  E(kErrException, 507, "An exception occurred")

// Compile errors, ascending (all above the run-time errors, all below the
// regular expression ones).
#define VBS_COMPILE_ERRORS(E)                                                                          \
  E(kErrCompileOutOfMemory, 1001, "Out of memory")                                                    \
  E(kErrSyntax, 1002, "Syntax error")                                                                 \
  E(kErrExpectedColon, 1003, "Expected ':'")                                                          \
  E(kErrExpectedLParen, 1005, "Expected '('")                                                         \
  E(kErrExpectedRParen, 1006, "Expected ')'")                                                         \
  E(kErrExpectedRBracket, 1007, "Expected ']'")                                                       \
  E(kErrExpectedIdentifier, 1010, "Expected identifier")                                              \
  E(kErrExpectedEquals, 1011, "Expected '='")                                                         \
  E(kErrExpectedIf, 1012, "Expected 'If'")                                                            \
  E(kErrExpectedTo, 1013, "Expected 'To'")                                                            \
  E(kErrExpectedEnd, 1014, "Expected 'End'")                                                          \
  E(kErrExpectedFunction, 1015, "Expected 'Function'")                                                \
  E(kErrExpectedSub, 1016, "Expected 'Sub'")                                                          \
  E(kErrExpectedThen, 1017, "Expected 'Then'")                                                        \
  E(kErrExpectedWend, 1018, "Expected 'Wend'")                                                        \
  E(kErrExpectedLoop, 1019, "Expected 'Loop'")                                                        \
  E(kErrExpectedNext, 1020, "Expected 'Next'")                                                        \
  E(kErrExpectedCase, 1021, "Expected 'Case'")                                                        \
  E(kErrExpectedSelect, 1022, "Expected 'Select'")                                                    \
  E(kErrExpectedExpression, 1023, "Expected expression")                                              \
  E(kErrExpectedStatement, 1024, "Expected statement")                                                \
  E(kErrExpectedEndOfStatement, 1025, "Expected end of statement")                                    \
  E(kErrExpectedInteger, 1026, "Expected integer constant")                                           \
  E(kErrExpectedWhileUntil, 1027, "Expected 'While' or 'Until'")                                      \
  E(kErrExpectedWhileUntilOrEnd, 1028, "Expected 'While,' 'Until,' or end of statement")              \
  E(kErrExpectedWith, 1029, "Expected 'With'")                                                        \
  E(kErrIdentifierTooLong, 1030, "Identifier too long")                                               \
  E(kErrInvalidNumber, 1031, "Invalid number")                                                        \
  E(kErrInvalidCharacter, 1032, "Invalid character")                                                  \
  E(kErrUnterminatedString, 1033, "Unterminated string constant")                                     \
  E(kErrUnterminatedComment, 1034, "Unterminated comment")                                            \
  E(kErrInvalidMe, 1037, "Invalid use of 'Me' keyword")                                               \
  E(kErrLoopWithoutDo, 1038, "'loop' without 'do'")                                                   \
  E(kErrInvalidExit, 1039, "Invalid 'exit' statement")                                                \
  E(kErrInvalidForVariable, 1040, "Invalid 'for' loop control variable")                              \
  E(kErrNameRedefined, 1041, "Name redefined")                                                        \
  E(kErrMustBeFirstStatement, 1042, "Must be first statement on the line")                            \
  E(kErrAssignToByRefArg, 1043, "Cannot assign to non-ByVal argument")                                \
  E(kErrParensCallingSub, 1044, "Cannot use parentheses when calling a Sub")                          \
  E(kErrExpectedLiteral, 1045, "Expected literal constant")                                           \
  E(kErrExpectedIn, 1046, "Expected 'In'")                                                            \
  E(kErrExpectedClass, 1047, "Expected 'Class'")                                                      \
  E(kErrOutsideClass, 1048, "Must be defined inside a Class")                                         \
  E(kErrExpectedLetSetGet, 1049, "Expected Let or Set or Get in property declaration")                \
  E(kErrExpectedProperty, 1050, "Expected 'Property'")                                                \
  E(kErrPropertyArgCounts, 1051, "Number of arguments must be consistent across property declarations") \
  E(kErrMultipleDefaults, 1052, "Cannot have multiple default property/method in a Class")            \
  E(kErrInitTerminateArgs, 1053, "Class initialize or terminate do not have arguments")               \
  E(kErrPropertyNeedsArg, 1054, "Property set or let must have at least one argument")                \
  E(kErrUnexpectedNext, 1055, "Unexpected 'Next'")                                                    \
  E(kErrDefaultPlacement, 1056, "'Default' can be specified only on 'Property' or 'Function' or 'Sub'") \
  E(kErrDefaultNotPublic, 1057, "'Default' declaration must also specify 'Public'")                 \
  E(kErrDefaultNotGet, 1058, "'Default' declaration can only be on Property Get")

// Run-time errors of the library's objects, ascending.
#define VBS_OBJECT_ERRORS(E)                                                                           \
  E(kErrRegExpExpected, 5016, "Regular Expression object expected")                                   \
  E(kErrRegExpSyntax, 5017, "Syntax error in regular expression")                                     \
  E(kErrRegExpQuantifier, 5018, "Unexpected quantifier")                                              \
  E(kErrRegExpExpectedRBracket, 5019, "Expected ']' in regular expression")                           \
  E(kErrRegExpExpectedRParen, 5020, "Expected ')' in regular expression")                             \
  E(kErrRegExpRange, 5021, "Invalid range in character set")                                          \
  E(kErrElementNotFound, 32811, "Element not found")

// Raised by the engine and its hosts with a text of their own: the
// runtime's table does not have them (Err.Raise of one says "Unknown
// runtime error").
#define VBS_HOST_ERRORS(E)                                                                             \
  E(kErrInterrupted, 18, "User interrupt occurred")                                                   \
  E(kErrInvalidPropertyValue, 380, "Invalid property value")

#define VBS_ERROR_NAME(name, number, text) name = number,
enum ErrorNumber : int {
  VBS_RUNTIME_ERRORS(VBS_ERROR_NAME) VBS_COMPILE_ERRORS(VBS_ERROR_NAME) VBS_OBJECT_ERRORS(VBS_ERROR_NAME)
  VBS_HOST_ERRORS(VBS_ERROR_NAME)
};
#undef VBS_ERROR_NAME

// A run-time error in flight. An empty description means the text of the
// number (ErrorText).
struct ScriptError {
  int number = 0;
  std::u16string description;
  ScriptError() = default;
  explicit ScriptError(int n, std::u16string d = {}) : number(n), description(std::move(d)) {}
  // The description to show: the given one, or the number's text.
  std::u16string Text() const;
};

// Raises run-time error `number` with its own text or the one given.
[[noreturn]] void Raise(int number);
[[noreturn]] void Raise(int number, std::u16string description);

// The text the runtime's table has for a run-time or compile error (what
// Err.Raise and a compile error report); "Unknown runtime error" for any
// other number.
std::u16string StandardErrorText(int number);
// The text of any error named above, the hosts' too; else as
// StandardErrorText.
std::u16string ErrorText(int number);
// Every number the runtime's table has, ascending, with its text (the
// language reference lists them).
struct StandardError {
  int number;
  const char* text;
};
std::span<const StandardError> StandardErrors();

}  // namespace vbs

#pragma once

// The program's messages and its internal consistency checks, in three parts:
//   MessageTable.h      the numbered message table and its names (Msg::FileRead),
//                       and the error code a file operation raises
//   MessagePresenter.h  how a message reaches the user (ShowErrorMessage, ...)
//   Assertion.h         TORQ_ASSERT and the report that ends the program
// A file that needs one part includes that part; this header gives all three.

#include "Assertion.h"
#include "MessagePresenter.h"
#include "MessageTable.h"

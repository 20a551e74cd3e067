// Block literals as clang compiles them with -fblocks: a real producer of the Block ABI, for
// the tests of the host's block runtime and of the blocks the library builds by hand.
#include <stdbool.h>

#include "support/block_literals.h"

extern void* _Block_copy(const void* block);
extern void _Block_release(const void* block);

typedef void (^Reply)(bool, id);
typedef void (^Handler)(id);

int qvtest_run_later(void (*schedule)(void* block), void (*drain)(void), id captured,
                     id* seen) {
  __block int runs = 0;
  void (^work)(void) = ^{
    runs++;
    *seen = captured;
  };
  schedule((void*)work);
  drain();
  // The heap copy's __block box is the one the frame reads now.
  return runs;
}

void qvtest_with_reply(void (*consumer)(void* reply, void* context), void* context,
                       int* successes, int* failures) {
  Reply reply = ^(bool ok, id error) {
    if (ok && !error) {
      (*successes)++;
    } else {
      (*failures)++;
    }
  };
  consumer((void*)reply, context);
}

void qvtest_with_handler(void (*consumer)(void* handler, void* context), void* context,
                         id* tapped) {
  Handler handler = ^(id action) {
    *tapped = action;
  };
  consumer((void*)handler, context);
}

void* qvtest_global_block(void) {
  return (void*)^{
  };
}

void qvtest_call_reply(void* reply, bool ok, id error) { ((Reply)reply)(ok, error); }

void qvtest_copy_call_release(void* reply, bool ok, id error) {
  Reply heap = (Reply)_Block_copy(reply);
  heap(ok, error);
  _Block_release(heap);
}

#include "dbstart/plan_text.h"

namespace velmor {

TextView starts_text(EntryStarts starts) {
  switch (starts) {
    case EntryStarts::nothing: return u"没有这一项";
    case EntryStarts::this_program: return u"启动本程序";
    case EntryStarts::this_program_unquoted: return u"启动本程序（路径未加引号）";
    case EntryStarts::this_program_switch: return u"启动本程序，但带开关参数：登录时不启动服务器";
    case EntryStarts::hijacked: return u"路径未加引号，Windows 启动的是路径前面的这个文件，而不是本程序";
    case EntryStarts::another_program: return u"启动另一个程序（文件存在）";
    case EntryStarts::missing_program: return u"启动的程序文件不存在";
  }
  return u"";
}

TextView step_text(EntryAction action) {
  switch (action) {
    case EntryAction::keep: return u"保留";
    case EntryAction::write: return u"写入本程序的自动启动项";
    case EntryAction::quote: return u"给路径加上引号";
    case EntryAction::replace: return u"改写为不带开关的本程序";
    case EntryAction::leave_to_copy: return u"留给另一个副本，不写入（退出码 32）";
    case EntryAction::remove: return u"删除";
  }
  return u"";
}

}  // namespace velmor

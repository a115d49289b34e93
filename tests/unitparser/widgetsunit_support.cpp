#include "tests/unitparser/widgetsunit_support.h"

#include <fstream>

#include <unistd.h>

namespace unitparser::testing {

const char* const WidgetsUnit = R"(unit Widgets;
interface
type
  TWidget = class(TCustomControl)
  private
    FCaption: string;
  protected
    procedure Paint; override;
  published
    property Caption: string read FCaption write FCaption; // The text shown
    property Align;
    property OnClick: TNotifyEvent read FOnClick write FOnClick;
  public
    procedure Refresh; virtual;
  end;
  TWidgetList = class(TObject)
  public
    function Count: Integer;
  end;
  TColorName = (cnRed, cnGreen);
procedure Register;
const
  MaxWidgets = 10;
var
  DefaultWidget: TWidget;
implementation
end.
)";

TUnitFolder::TUnitFolder(const std::string& prefix)
    : dir(std::filesystem::temp_directory_path() / (prefix + std::to_string(::getpid()))) {
    std::filesystem::create_directories(dir);
}

TUnitFolder::~TUnitFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
}

std::string TUnitFolder::Write(const std::string& name, const std::string& text) const {
    const std::filesystem::path path = dir / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}

} // namespace unitparser::testing

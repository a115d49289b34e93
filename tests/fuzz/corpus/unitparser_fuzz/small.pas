unit U;
interface
type
  TA = class(TButton)
  strict private F: Integer;
  published
    property Caption: string read F write F; // c
  end;
const X = (1, (2));
var A, B: record X: Byte; end;
implementation

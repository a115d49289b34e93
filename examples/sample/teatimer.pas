unit TeaTimer;

{ The timer component of Quillmoor Tea Timer, for the component-help part
  of the sample: Brindle turns it into reference topics. }

interface

uses
  Classes;

type
  TSteepEvent = procedure(Sender: TObject; Seconds: Integer) of object;

  TTeaTimer = class(TComponent)
  private
    FSeconds: Integer;
    FRunning: Boolean;
    FOnSteeped: TSteepEvent;
  protected
    procedure Tick; virtual;
  public
    constructor Create(AOwner: TComponent); override;
    procedure Start;
    procedure Stop;
    property Running: Boolean read FRunning; // True while the tea steeps
  published
    property Seconds: Integer read FSeconds write FSeconds; // How long the tea steeps
    property OnSteeped: TSteepEvent read FOnSteeped write FOnSteeped; // The tea is ready
  end;

const
  DefaultSeconds = 180; // Three minutes, for black tea

implementation

end.

{ Lists the classes of a unit's interface and their non-private members that
  are not fields, one per line ("class NAME", "member NAME"), as read by the
  Free Pascal parser. The unit parser's tests compare it with their own. }
program passrcdump;

{$mode objfpc}{$H+}

uses
  SysUtils, Classes, PasTree, PParser;

type
  TDumpEngine = class(TPasTreeContainer)
  public
    function CreateElement(AClass: TPTreeElement; const AName: String;
      AParent: TPasElement; AVisibility: TPasMemberVisibility;
      const ASourceFilename: String; ASourceLinenumber: Integer): TPasElement; override;
    function FindElement(const AName: String): TPasElement; override;
  end;

function TDumpEngine.CreateElement(AClass: TPTreeElement; const AName: String;
  AParent: TPasElement; AVisibility: TPasMemberVisibility;
  const ASourceFilename: String; ASourceLinenumber: Integer): TPasElement;
begin
  Result := AClass.Create(AName, AParent);
  Result.Visibility := AVisibility;
  Result.SourceFilename := ASourceFilename;
  Result.SourceLinenumber := ASourceLinenumber;
end;

function TDumpEngine.FindElement(const AName: String): TPasElement;
begin
  Result := nil;
end;

var
  Engine: TDumpEngine;
  Module: TPasModule;
  Decls: TFPList;
  I, J: Integer;
  Cls: TPasClassType;
  Member: TPasElement;
begin
  Engine := TDumpEngine.Create;
  Module := ParseSource(Engine, [ParamStr(1)], 'linux', 'x86_64', []);
  Decls := Module.InterfaceSection.Declarations;
  for I := 0 to Decls.Count - 1 do
    if TObject(Decls[I]) is TPasClassType then
    begin
      Cls := TPasClassType(Decls[I]);
      if Cls.IsForward then
        Continue;
      WriteLn('class ', Cls.Name);
      for J := 0 to Cls.Members.Count - 1 do
      begin
        Member := TPasElement(Cls.Members[J]);
        if Member.Visibility in [visPrivate, visStrictPrivate] then
          Continue;
        if (Member is TPasVariable) and not (Member is TPasProperty) then
          Continue;
        if (Member is TPasProcedure) or (Member is TPasOverloadedProc) or
          (Member is TPasProperty) then
          WriteLn('member ', Member.Name);
      end;
    end;
end.

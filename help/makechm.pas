{ Compiles a help project (.hhp) into a CHM file with Free Pascal's own CHM
  writer, the engine of chmcmd. chmcmd 3.2.2 stores every context-map topic
  under its absolute build path, so "HH -mapid N" looks for a page that is
  not in the file; this tool stores the topics under the names they have
  inside the CHM. With SOURCE_DATE_EPOCH set, the file's two times of day
  are that moment's, so the same sources always make the same file.

  Usage: makechm PROJECT.hhp OUTPUT.chm
  Exit code 0 on success, 1 on any error or warning. }
program makechm;

{$mode objfpc}{$H+}

uses
  Classes, SysUtils, chmfilewriter, chmwriter, chmsitemap;

type
  THelpProject = class(TChmProject)
  public
    procedure WriteChm(AOutStream: TStream); override;
  end;

var
  Failed: Boolean = False;

procedure ReportError(Project: TChmProject; ErrorKind: TChmProjectErrorKind; Msg: String;
  DetailLevel: Integer = 0);
begin
  if ErrorKind in [chmerror, chmwarning] then
  begin
    WriteLn(StdErr, 'makechm: ', ChmErrorKindText[ErrorKind], ': ', Msg);
    Failed := True;
  end;
end;

{ The same steps as TChmProject.WriteChm, with the context map fixed. }
procedure THelpProject.WriteChm(AOutStream: TStream);
var
  Writer: TChmWriter;
  Contents: TChmSiteMap;
  Node: TChmContextNode;
  I: Integer;
begin
  LoadSiteMaps;
  ScanHtml;
  Contents := nil;
  if TableOfContentsFileName <> '' then
  begin
    Contents := TChmSiteMap.Create(stTOC);
    Contents.LoadFromFile(ProjectDir + TableOfContentsFileName);
  end;
  Writer := TChmWriter.Create(AOutStream, False);
  try
    Writer.OnGetFileData := @GetData;
    Writer.OnLastFile := @LastFileAdded;
    Writer.FilesToCompress.AddStrings(Files);
    Writer.FilesToCompress.AddStrings(OtherFiles);
    Writer.DefaultPage := DefaultPage;
    Writer.Title := Title;
    Writer.DefaultFont := DefaultFont;
    Writer.FullTextSearch := MakeSearchable;
    Writer.HasBinaryTOC := MakeBinaryTOC;
    Writer.HasBinaryIndex := MakeBinaryIndex;
    Writer.IndexName := IndexFileName;
    Writer.TocName := TableOfContentsFileName;
    Writer.DefaultWindow := DefaultWindow;
    Writer.LocaleID := LocaleID;
    for I := 0 to Files.Count - 1 do
    begin
      if not FileExists(ProjectDir + Files[I]) then
        Error(chmerror, 'File ' + Files[I] + ' does not exist');
      Node := TChmContextNode(Files.Objects[I]);
      if Assigned(Node) and (Node.ContextNumber <> 0) then
        Writer.AddContext(Node.ContextNumber, Files[I]);
    end;
    if Windows.Count > 0 then
      Writer.Windows := Windows;
    Writer.TocSitemap := Contents;
    Writer.Execute;
  finally
    Writer.Free;
    Contents.Free;
  end;
end;

{ The writer stamps the time of day, in milliseconds, twice: in the ITSF
  header (big-endian, at offset 16) and as entry 10 of the #SYSTEM file,
  which it writes first into the uncompressed content section 0, after the
  format version 3 and before entry 9, the compiler's version. Both become
  the time of day (UTC) of SOURCE_DATE_EPOCH. }
procedure StampSourceDate(const FileName: String);
const
  SystemStart: array[0..7] of Byte = (3, 0, 0, 0, 10, 0, 4, 0);
  CompilerEntry = #9#0#22#0'HHA Version ';
var
  Setting: String;
  Epoch: Int64;
  Millis: LongWord;
  Data: TMemoryStream;
  P: PByte;
  I, Found: Integer;
begin
  Setting := GetEnvironmentVariable('SOURCE_DATE_EPOCH');
  if Setting = '' then
    Exit;
  if not TryStrToInt64(Setting, Epoch) or (Epoch < 0) then
    raise Exception.Create('SOURCE_DATE_EPOCH is not a number of seconds: ' + Setting);
  Millis := (Epoch mod 86400) * 1000;
  Data := TMemoryStream.Create;
  try
    Data.LoadFromFile(FileName);
    P := Data.Memory;
    Found := -1;
    for I := 0 to Data.Size - 12 - Length(CompilerEntry) do
      if CompareMem(P + I, @SystemStart, SizeOf(SystemStart)) and
         CompareMem(P + I + 12, @CompilerEntry[1], Length(CompilerEntry)) then
      begin
        Found := I;
        Break;
      end;
    if Found < 0 then
      raise Exception.Create('no #SYSTEM time in ' + FileName);
    PLongWord(P + 16)^ := NToBE(Millis);
    PLongWord(P + Found + 8)^ := NToLE(Millis);
    Data.SaveToFile(FileName);
  finally
    Data.Free;
  end;
end;

var
  Project: THelpProject;
  Output: TFileStream;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'Usage: makechm PROJECT.hhp OUTPUT.chm');
    Halt(2);
  end;
  Project := THelpProject.Create;
  try
    Project.OnError := @ReportError;
    try
      Project.LoadFromHhp(ParamStr(1), False);
      Output := TFileStream.Create(ParamStr(2), fmCreate);
      try
        Project.WriteChm(Output);
      finally
        Output.Free;
      end;
      StampSourceDate(ParamStr(2));
      Project.ShowUndefinedAnchors;
    except
      on E: Exception do
      begin
        WriteLn(StdErr, 'makechm: ', E.Message);
        Failed := True;
      end;
    end;
  finally
    Project.Free;
  end;
  if Failed then
  begin
    DeleteFile(ParamStr(2));
    Halt(1);
  end;
end.
